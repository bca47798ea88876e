// The unpack run in the running window, as the user meets it: a file of theirs already in the
// destination, the window given back after the run, and a damaged help file.
#include "AppTestSupport.h"

#include "resource.h"
#include "support/ChmBuilder.h"
#include "support/DialogDriver.h"

namespace {

// Answers every replace question with `button` as soon as it shows, keeping what each one said.
class ReplaceAnswerer {
public:
    explicit ReplaceAnswerer(int button) : m_button(button)
    {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 20, &OnTimer);
    }
    ~ReplaceAnswerer()
    {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    ReplaceAnswerer(const ReplaceAnswerer&) = delete;
    ReplaceAnswerer& operator=(const ReplaceAnswerer&) = delete;

    std::vector<std::wstring> questions;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        const HWND prompt = FindThreadWindow([](HWND window) { return TitleStartsWith(window, L"确认替换文件") && IsWindowVisible(window); });
        if (!prompt || !s_current) return;
        s_current->questions.push_back(ControlText(prompt, IDC_REPLACE_TEXT));
        ClickButton(prompt, s_current->m_button);
    }

    static inline ReplaceAnswerer* s_current = nullptr;
    int m_button;
    UINT_PTR m_timer = 0;
};

// A file of the user's, there before any run.
void WriteUsersFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    WriteFileBytes(path, {text.begin(), text.end()});
}

class UnpackRunTest : public AppTest {
protected:
    void StartWith(const fs::path& helpFile)
    {
        ASSERT_TRUE(Start({helpFile.wstring()}));
        m_rows = List().GetItemCount();
        ASSERT_GT(m_rows, 0);
    }

    // Confirms the unpack dialog with all rows going to `destination`; `whileRunning` runs between rows.
    void UnpackAll(const fs::path& destination, bool usePaths, std::function<void()> whileRunning = {})
    {
        DialogDriver driver(
            [&](HWND dialog) {
                SetDlgItemTextW(dialog, IDC_UNPACK_DESTINATION, destination.c_str());
                ClickButton(dialog, IDC_UNPACK_ALL);
                if (!usePaths) ClickButton(dialog, IDC_UNPACK_USE_PATHS);
                if (whileRunning) WhenTheNextLoopRuns(whileRunning);
            },
            CloseBy::Ok);
        Command(ID_UNPACK);
        ASSERT_TRUE(driver.DialogWasShown());
    }

    // Unpacks every row, answering each replace question with `button`; what the questions said.
    std::vector<std::wstring> UnpackAnswering(int button, const fs::path& destination, bool usePaths)
    {
        ReplaceAnswerer answers(button);
        UnpackAll(destination, usePaths);
        return answers.questions;
    }

    // Once a run has ended, however it ended, the user can type at once: the main window is enabled
    // and active, the keyboard in the list, and End there goes to the last row.
    void ExpectTheKeyboardIsBack()
    {
        const HWND frame = Frame().GetSafeHwnd();
        EXPECT_TRUE(IsWindowEnabled(frame));
        EXPECT_EQ(GetActiveWindow(), frame);
        EXPECT_EQ(GetFocus(), List().GetSafeHwnd());
        INPUT keys[2] = {{INPUT_KEYBOARD, {.ki = {VK_END, 0, 0, 0, 0}}}, {INPUT_KEYBOARD, {.ki = {VK_END, 0, KEYEVENTF_KEYUP, 0, 0}}}};
        SendInput(2, keys, sizeof(INPUT));
        for (int round = 0; round < 10; ++round) {
            Sleep(20);
            Pump();
        }
        EXPECT_EQ(ListView_GetNextItem(List().GetSafeHwnd(), -1, LVNI_FOCUSED), m_rows - 1);
        ListView_SetItemState(List().GetSafeHwnd(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }

    int m_rows = 0;
};

} // namespace

TEST_F(UnpackRunTest, AFileThatWasThereIsReplacedOnlyWhenTheUserSaysSo)
{
    StartWith(CopyCorpusFile(L"topics.classic.chm", m_scratch / L"topics.classic.chm"));
    const fs::path out = m_scratch / L"out";
    const fs::path mine = out / L"default.html";
    WriteUsersFile(mine, "mine");
    const std::string theirs = [&] {
        const fs::path oracle = m_scratch / L"oracle";
        UnpackAll(oracle, true);
        return ReadFileText(oracle / L"default.html");
    }();
    ASSERT_NE(theirs, "mine");
    const std::wstring status = L"已展开 " + std::to_wstring(m_rows) + L" 个文件到 ";

    const std::vector<std::wstring> questions = UnpackAnswering(IDC_REPLACE_SKIP, out, true);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find(mine.wstring()), std::wstring::npos) << questions[0];
    EXPECT_EQ(ReadFileText(mine), "mine");
    EXPECT_EQ(FileCount(out), m_rows);
    EXPECT_EQ(StatusText(), L"已展开 " + std::to_wstring(m_rows - 1) + L" 个文件到 " + out.wstring() + L", 跳过 1 个已有的文件");

    // Every file is there now: one answer for all of them.
    for (const int button : {IDC_REPLACE_SKIP_ALL, IDC_REPLACE_ALL}) EXPECT_EQ(UnpackAnswering(button, out, true).size(), 1u);
    EXPECT_EQ(ReadFileText(mine), theirs);
    EXPECT_EQ(StatusText(), status + out.wstring());

    // 取消 keeps what is written and ends the run where it was asked.
    const fs::path again = m_scratch / L"again";
    WriteUsersFile(again / L"default.html", "m");
    EXPECT_EQ(UnpackAnswering(IDCANCEL, again, true).size(), 1u);
    EXPECT_EQ(ReadFileText(again / L"default.html"), "m");
    EXPECT_LT(FileCount(again), m_rows);
    EXPECT_NE(StatusText().find(L"其余已取消"), std::wstring::npos) << StatusText();
    ExpectTheKeyboardIsBack();
    EXPECT_TRUE(m_app->messages.empty());
}

// Flat, entries of one name go to one file: what the run wrote itself it replaces without asking.
TEST_F(UnpackRunTest, AFileTheRunWroteItselfIsReplacedWithoutAQuestion)
{
    const fs::path helpFile = m_scratch / L"same-names.chm";
    WriteFileBytes(helpFile, BuildChm({{"/a/x.htm", "first"}, {"/b/x.htm", "second"}, {"/c/x.htm", "third"}}));
    StartWith(helpFile);
    const fs::path out = m_scratch / L"out";
    WriteUsersFile(out / L"x.htm", "m");
    EXPECT_EQ(UnpackAnswering(IDOK, out, false).size(), 1u);
    EXPECT_EQ(ReadFileText(out / L"x.htm"), "third");
    EXPECT_EQ(StatusText(), L"已展开 3 个文件到 " + out.wstring());
}

TEST_F(UnpackRunTest, AfterAFinishedOrCancelledRunTheWindowHasTheKeyboardAndSaysWhatHappened)
{
    StartWith(FixtureFile(L"varied.chm"));
    const fs::path out = m_scratch / L"out";
    UnpackAll(out, true);
    EXPECT_EQ(StatusText(), L"已展开 " + std::to_wstring(m_rows) + L" 个文件到 " + out.wstring());
    ExpectTheKeyboardIsBack();

    const fs::path cancelled = m_scratch / L"cancelled";
    UnpackAll(cancelled, true, [] {
        PostMessageW(FindThreadWindow([](HWND window) { return TitleStartsWith(window, L"正在展开..."); }), WM_CHAR, VK_ESCAPE, 1);
    });
    EXPECT_EQ(StatusText(), L"已展开 1 个文件到 " + cancelled.wstring() + L", 其余已取消");
    ExpectTheKeyboardIsBack();
    EXPECT_TRUE(m_app->messages.empty());
}

// A cut copy: the message says the help file is damaged and why each entry failed, in the words of
// the integrity test, over the main window that has the keyboard again.
TEST_F(UnpackRunTest, ADamagedHelpFileIsNamedWithTheReasonsAfterTheRun)
{
    std::vector<std::uint8_t> bytes = ReadFileBytes(CorpusFile(L"topics.classic.chm"));
    bytes.resize(bytes.size() * 7 / 10);
    const fs::path damaged = m_scratch / L"cut.chm";
    WriteFileBytes(damaged, bytes);
    StartWith(damaged);
    const fs::path out = m_scratch / L"out";
    UnpackAll(out, true);
    ASSERT_EQ(m_app->messages.size(), 1u);
    const std::wstring& message = m_app->messages[0];
    EXPECT_EQ(message.rfind(L"帮助文件已损坏: " + damaged.wstring() + L"\n文件在压缩数据中间结束 (被截断)\n", 0), 0u) << message;
    const int failed = m_rows - FileCount(out);
    ASSERT_GT(failed, 0);
    EXPECT_NE(message.find(L"有 " + std::to_wstring(failed) + L" 个文件未能展开:\n"), std::wstring::npos) << message;
    EXPECT_NE(message.find(L": 压缩数据在文件结尾之后 (文件被截断) (第 "), std::wstring::npos) << message;
    EXPECT_EQ(m_app->activeAtMessage[0], Frame().GetSafeHwnd());
    EXPECT_EQ(StatusText(), L"已展开 " + std::to_wstring(m_rows - failed) + L" 个文件到 " + out.wstring() + L", " +
                                std::to_wstring(failed) + L" 个文件未能展开");
    ExpectTheKeyboardIsBack();
}

TEST_F(UnpackRunTest, SelectedFilesWithNoRowSelectedSaysSoAndKeepsTheDialogOpen)
{
    StartWith(FixtureFile(L"varied.chm"));
    bool openAfterOk = false;
    DialogDriver driver(
        [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_UNPACK_DESTINATION, (m_scratch / L"out").c_str());
            ClickButton(dialog, IDC_UNPACK_SELECTED);
            ClickButton(dialog, IDOK);
            openAfterOk = IsWindowVisible(dialog) != FALSE;
        },
        CloseBy::Escape);
    Command(ID_UNPACK);
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"没有选中的文件: 请先在列表中选中要展开的文件, 或选择“所有文件”."});
    EXPECT_FALSE(fs::exists(m_scratch / L"out"));
}
