// Opening help files into the running window: the Open dialog, a second file,
// files that are not help files or cannot be read, and the four-entry recent-file list.
#include "AppTestSupport.h"

#include "framework/FrameworkIds.h"
#include "framework/RecentFileList.h"
#include "resource.h"
#include "support/ChmBuilder.h"
#include "support/DialogDriver.h"

#include <fstream>
#include <dlgs.h>

TEST_F(AppTest, OpenCommandShowsTheOpenDialogWithAllFilesAndOpensTheChoiceLeavingTheCurrentFolder)
{
    // The tips lie in the current folder; the help file opened is in another one.
    const fs::path previous = fs::current_path();
    fs::current_path(m_scratch.Path());
    WriteFileBytes(m_scratch / L"tips.txt", {'t', 'i', 'p', '\r', '\n'});
    fs::create_directories(m_scratch / L"other");
    ASSERT_TRUE(Start());
    // A Chinese name: the path must survive the dialog, the title and the recent-file list.
    const std::wstring file = CopyCorpusFile(L"combined.chm", m_scratch / L"other" / L"帮助文件.chm").wstring();
    std::wstring filter(128, L'\0');
    DialogDriver driver(
        [&](HWND dialog) {
            SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter.data()));
            for (int control : {edt1, cmb13})
                if (HWND field = GetDlgItem(dialog, control); field && IsWindowVisible(field)) SetWindowTextW(field, file.c_str());
        },
        CloseBy::Ok);
    Command(ID_FILE_OPEN);
    ASSERT_TRUE(driver.DialogWasShown());
    EXPECT_STREQ(filter.c_str(), L"所有文件(*.*)");
    EXPECT_EQ(Title(), L"帮助文件.chm - Tarnwick");
    EXPECT_EQ(static_cast<std::size_t>(List().GetItemCount()), EngineRows(file).size());
    EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), file);
    std::wstring tip;
    DialogDriver tipDriver([&](HWND dialog) { tip = ControlText(dialog, IDC_TIP_TEXT); }, CloseBy::Ok);
    Command(ID_SHOW_TIP);
    EXPECT_EQ(tip, L"tip\n");
    fs::current_path(previous);
}

TEST_F(AppTest, ASecondFileReplacesEveryRowAndNumbersItemDataFromZero)
{
    ASSERT_TRUE(Start({FixtureFile(L"varied.chm")}));
    ASSERT_GT(Rows().size(), 20u);
    WriteFileBytes(m_scratch / L"internals-only.chm",
                   BuildChm({{"/#SYSTEM", "system"}, {"/$OBJINST/", ""}, {"/huge.bin", "", 1234567890123456ull}}));
    for (const std::wstring& second : {CorpusFile(L"example.chm"), (m_scratch / L"internals-only.chm").wstring()}) {
        ASSERT_NE(m_app->OpenDocumentFile(second), nullptr);
        Pump();
        const std::vector<TestRow> rows = Rows();
        ASSERT_EQ(rows.size(), EngineRows(second).size());
        for (std::size_t row = 0; row < rows.size(); ++row) EXPECT_EQ(rows[row].itemData, static_cast<std::intptr_t>(row));
        EXPECT_EQ(Document().m_engine.GetParentStorages().GetSize(), static_cast<int>(rows.size()));
    }
    // The size column is widened to its widest value.
    EXPECT_GT(ListView_GetColumnWidth(List().GetSafeHwnd(), 1), ListView_GetStringWidth(List().GetSafeHwnd(), L"1234567890123456"));
    EXPECT_TRUE(m_app->messages.empty());
}

TEST_F(AppTest, AFileThatIsNoHelpFileOrCannotBeReadChangesNothing)
{
    const std::wstring shown = CorpusFile(L"combined2.chm");
    ASSERT_TRUE(Start({shown}));
    const std::vector<TestRow> before = Rows();
    const fs::path text = m_scratch / L"readme.chm";
    std::ofstream(text) << "plain text";
    const fs::path empty = m_scratch / L"empty.chm";
    std::ofstream{empty};
    const std::wstring locked = CopyCorpusFile(L"combined.chm", m_scratch / L"locked.chm").wstring();
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);

    // Which file, and why: the help file's own fault, not the system's.
    const std::wstring notHelpFile = L"\n这不是编译的 HTML 帮助文件 (.chm), 或者它的文件头或目录已损坏";
    for (const auto& [bad, message] : {std::pair{text.wstring(), L"不能打开这个文件.\n" + text.wstring() + notHelpFile},
                                      {empty.wstring(), L"不能打开这个文件.\n" + empty.wstring() + notHelpFile},
                                      {locked, L"访问" + locked + L"时发生共享冲突."}}) {
        SCOPED_TRACE(bad);
        m_app->messages.clear();
        EXPECT_EQ(m_app->OpenDocumentFile(bad), nullptr);
        Pump();
        EXPECT_EQ(m_app->messages, std::vector<std::wstring>{message});
        EXPECT_EQ(Title(), L"combined2.chm - Tarnwick");
        EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), shown);
        // The rows stay, and so does Unpack (the engine keeps their storages alive).
        EXPECT_EQ(Rows().size(), before.size());
        EXPECT_TRUE(ToolBarButtonEnabled(ID_UNPACK));
    }
    CloseHandle(holder);
}

namespace {

std::vector<std::wstring> RecentMenuTexts(HWND frame)
{
    HMENU file = GetSubMenu(GetMenu(frame), 0);
    SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    std::vector<std::wstring> texts;
    for (int position = 0; position < GetMenuItemCount(file); ++position) {
        const UINT id = GetMenuItemID(file, position);
        wchar_t text[256] = {};
        GetMenuStringW(file, position, text, 256, MF_BYPOSITION);
        if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) texts.push_back(text);
    }
    return texts;
}

std::wstring RecentFile(int entry) { return ReadSetting(L"Recent File List", (L"File" + std::to_wstring(entry)).c_str()); }

} // namespace

TEST_F(AppTest, OpenedFilesGoFirstInTheRegistryAndTheMenuFourAtMost)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(RecentMenuTexts(Frame().GetSafeHwnd()), std::vector<std::wstring>{L"最近文件"});
    std::vector<std::wstring> copies;
    for (const wchar_t* name : {L"a.chm", L"b.chm", L"c&d.chm", L"d.chm", L"e.chm"}) {
        copies.push_back(CopyCorpusFile(L"combined.chm", m_scratch / name).wstring());
        ASSERT_NE(m_app->OpenDocumentFile(copies.back()), nullptr);
    }
    // Opening a file that is listed already moves it to the top instead of adding it twice.
    ASSERT_NE(m_app->OpenDocumentFile(copies[2]), nullptr);

    const std::vector<std::wstring> expected{copies[2], copies[4], copies[3], copies[1]};
    const std::vector<std::wstring> texts = RecentMenuTexts(Frame().GetSafeHwnd());
    ASSERT_EQ(texts.size(), 4u);
    for (int entry = 0; entry < 4; ++entry) {
        EXPECT_EQ(RecentFile(entry + 1), expected[entry]);
        // A "&" in a path is doubled, so that it shows instead of underlining.
        std::wstring shown;
        for (const wchar_t c : AbbreviatePath(expected[entry], 30)) shown += c == L'&' ? L"&&" : std::wstring(1, c);
        EXPECT_EQ(texts[entry], L"&" + std::to_wstring(entry + 1) + L" " + shown);
    }
    EXPECT_TRUE(RecentFile(5).empty());
}

TEST_F(AppTest, RecentFilesSurviveARestartAndOpenFromTheMenuOrAreDroppedWhenGone)
{
    const std::wstring first = CorpusFile(L"example.chm");
    const fs::path doomed = CopyCorpusFile(L"combined.chm", m_scratch / L"doomed.chm");
    ASSERT_TRUE(Start({first}));
    ASSERT_NE(m_app->OpenDocumentFile(doomed.wstring()), nullptr);
    Shutdown();

    ASSERT_TRUE(Start());
    Command(ID_FILE_MRU_FIRST + 1);
    EXPECT_EQ(Title(), L"example.chm - Tarnwick");
    EXPECT_EQ(Rows().size(), EngineRows(first).size());
    EXPECT_EQ(RecentFile(1), first);

    fs::remove(doomed);
    Command(ID_FILE_MRU_FIRST + 1);
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"找不到" + doomed.wstring() + L"."});
    EXPECT_EQ(RecentFile(1), first);
    EXPECT_TRUE(RecentFile(2).empty());
    EXPECT_EQ(RecentMenuTexts(Frame().GetSafeHwnd()).size(), 1u);
}

TEST(AbbreviatePath, KeepsShortPathsAndShortensLongOnesFromTheMiddle)
{
    EXPECT_EQ(AbbreviatePath(L"C:\\help\\a.chm", 30), L"C:\\help\\a.chm");
    EXPECT_EQ(AbbreviatePath(L"C:\\Program Files\\Vendor\\Product\\Help\\manual.chm", 30), L"C:\\...\\Product\\Help\\manual.chm");
    EXPECT_EQ(AbbreviatePath(L"\\\\server\\share\\deep\\deeper\\deepest\\x.chm", 30), L"\\\\server\\share\\...\\x.chm");
    // A name too long for any folder to stay beside it is shown alone, whole.
    EXPECT_EQ(AbbreviatePath(L"C:\\docs\\a-very-long-help-file-name-indeed.chm", 30), L"a-very-long-help-file-name-indeed.chm");
}
