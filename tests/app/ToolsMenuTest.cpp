// The tools menu in the running window, on the intact sample and on a copy cut short: the facts,
// the check, and the two exports with their destination, progress window and closing question.
#include "AppTestSupport.h"

#include "resource.h"
#include "support/DialogDriver.h"
#include "unpackdialog/ProgressWnd.h"

#include <regex>

namespace {

HWND ShownProgressWindow()
{
    return FindThreadWindow([](HWND window) { return TitleStartsWith(window, L"正在") && IsWindowVisible(window); });
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::vector<std::wstring> MenuTexts(HMENU menu)
{
    std::vector<std::wstring> texts;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

struct ReportSeen {
    std::wstring caption, text, copied;
};

class ToolsMenuTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_cut = m_scratch.Path() / L"cut.chm";
        std::vector<std::uint8_t> bytes = ReadFileBytes(CorpusFile(L"topics.classic.chm"));
        bytes.resize(bytes.size() * 9 / 10);
        WriteFileBytes(m_cut, bytes);
    }

    // Runs a tool whose only dialog is the report, reading it and copying its text.
    ReportSeen RunReporting(UINT command)
    {
        ReportSeen seen;
        DialogDriver driver(
            [&seen](HWND dialog) {
                wchar_t caption[256] = {};
                GetWindowTextW(dialog, caption, 256);
                seen.caption = caption;
                seen.text = ControlText(dialog, IDC_REPORT_TEXT);
                ClickButton(dialog, IDC_REPORT_COPY);
                seen.copied = ClipboardText();
            },
            CloseBy::Ok);
        Command(command);
        return seen;
    }

    // Runs an export into `destination`; with `cancel`, the progress window's button is clicked at
    // the first entry. Whether the run showed its progress window.
    bool RunExport(UINT command, const fs::path& destination, bool cancel = false)
    {
        bool progressShown = false;
        DialogDriver driver(
            [&](HWND dialog) {
                SetDlgItemTextW(dialog, IDC_DESTINATION_FOLDER, destination.c_str());
                // The next loop to look at the queue is the run's, at its first entries.
                WhenTheNextLoopRuns([&progressShown, cancel] {
                    const HWND progress = ShownProgressWindow();
                    progressShown = progress != nullptr;
                    if (cancel && progress) ClickButton(progress, CProgressWnd::kCancelId);
                });
                Sleep(30);
            },
            CloseBy::Ok);
        Command(command);
        EXPECT_TRUE(driver.DialogWasShown());
        return progressShown;
    }

    fs::path m_cut;
};

} // namespace

TEST_F(ToolsMenuTest, TheToolsFollowTheViewMenuAndNeedAFile)
{
    ASSERT_TRUE(Start());
    const HMENU bar = GetMenu(Frame().GetSafeHwnd());
    const std::vector<std::wstring> top = MenuTexts(bar);
    ASSERT_EQ(top, (std::vector<std::wstring>{L"文件(&F)", L"编辑(&E)", L"视图(&V)", L"工具(&T)", L"帮助(&H)"}));
    EXPECT_EQ(MenuTexts(GetSubMenu(bar, 3)),
              (std::vector<std::wstring>{L"文件信息(&I)", L"检查文件(&C)", L"去掉下载标记(&R)...", L"", L"导出项目(&P)...",
                                         L"导出为网页(&W)..."}));
    const auto grayed = [this] {
        const HMENU tools = GetSubMenu(GetMenu(Frame().GetSafeHwnd()), 3);
        Frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(tools), 3);
        std::vector<bool> states;
        for (const UINT id : {ID_TOOLS_FACTS, ID_TOOLS_CHECK, ID_REMOVE_ZONE_MARK, ID_TOOLS_PROJECT, ID_TOOLS_SITE})
            states.push_back((GetMenuState(tools, id, MF_BYCOMMAND) & MF_GRAYED) != 0);
        return states;
    };
    EXPECT_EQ(grayed(), std::vector<bool>(5, true));
    Shutdown();
    ASSERT_TRUE(Start({CorpusFile(L"topics.classic.chm")}));
    EXPECT_EQ(grayed(), (std::vector<bool>{false, false, true, false, false})) << "a file without the download mark";
}

TEST_F(ToolsMenuTest, FileFactsAreInfosTextAndCopyWhole)
{
    for (const fs::path& file : {fs::path(CorpusFile(L"topics.classic.chm")), m_cut}) {
        ASSERT_TRUE(Start({file.wstring()}));
        const ReportSeen seen = RunReporting(ID_TOOLS_FACTS);
        EXPECT_EQ(seen.caption, L"文件信息 - " + file.filename().wstring());
        // Whole lines as the edit control breaks them, the default topic among them.
        EXPECT_NE(seen.text.find(L"\r\n默认主题: "), std::wstring::npos) << file;
        EXPECT_EQ(seen.copied, seen.text);
        EXPECT_TRUE(m_app->messages.empty());
        Shutdown();
    }
}

TEST_F(ToolsMenuTest, CheckingTellsAnIntactFileFromACutOne)
{
    ASSERT_TRUE(Start({CorpusFile(L"topics.classic.chm")}));
    {
        // Intact: a message, no list.
        DialogDriver noList([](HWND) {}, CloseBy::Escape);
        Command(ID_TOOLS_CHECK);
        EXPECT_FALSE(noList.DialogWasShown());
    }
    ASSERT_EQ(m_app->messages.size(), 1u);
    std::wsmatch counts;
    ASSERT_TRUE(std::regex_match(m_app->messages[0], counts, std::wregex(L"检查了 (\\d+) 个流: (\\d+) 个完好, 0 个损坏.")))
        << m_app->messages[0];
    EXPECT_EQ(counts[1].str(), counts[2].str());
    // Every stream, the internal ones too, not the list's rows.
    EXPECT_GT(std::stoul(counts[1]), Rows().size());
    Shutdown();

    ASSERT_TRUE(Start({m_cut.wstring()}));
    const ReportSeen seen = RunReporting(ID_TOOLS_CHECK);
    EXPECT_EQ(seen.text.rfind(L"帮助文件已损坏. 检查了 ", 0), 0u) << seen.text;
    EXPECT_NE(seen.text.find(L"\r\n文件在压缩数据中间结束 (被截断)\r\n"), std::wstring::npos);
    // An entry cut off in its data is named with its path and why.
    EXPECT_TRUE(std::regex_search(seen.text, std::wregex(L"\r\n[^\r\n]+\\.(htm|html|png|gif|jpg|css): 压缩数据在文件结尾之后")));
    EXPECT_TRUE(m_app->messages.empty());
}

TEST_F(ToolsMenuTest, CheckingStopsAtCancel)
{
    ASSERT_TRUE(Start({CorpusFile(L"topics.classic.chm")}));
    bool progressShown = false;
    WhenTheNextLoopRuns([&progressShown] {
        const HWND progress = ShownProgressWindow();
        progressShown = progress != nullptr;
        if (progress) ClickButton(progress, CProgressWnd::kCancelId);
    });
    Sleep(30);
    Command(ID_TOOLS_CHECK);
    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(m_app->messages.empty());
    EXPECT_EQ(ShownProgressWindow(), nullptr);
}

TEST_F(ToolsMenuTest, TheSiteIsWrittenWhereChosenAndOpenedOnYes)
{
    ASSERT_TRUE(Start({CorpusFile(L"topics.classic.chm")}));
    m_app->answer = IDYES;
    const fs::path destination = m_scratch.Path() / L"new folder" / L"site";
    EXPECT_TRUE(RunExport(ID_TOOLS_SITE, destination / L""));
    ASSERT_EQ(m_app->messages.size(), 1u);
    // Without the backslash typed at its end.
    const std::wstring& message = m_app->messages[0];
    EXPECT_NE(message.find(L" 个页面到 " + destination.wstring() + L"; 问题 0 项, "), std::wstring::npos) << message;
    EXPECT_TRUE(message.ends_with(L"\n\n现在打开导出的网页吗?")) << message;
    EXPECT_EQ(m_app->shellTargets, std::vector<std::wstring>{(destination / L"index.html").wstring()});
    EXPECT_TRUE(fs::is_regular_file(destination / L"index.html"));
    EXPECT_TRUE(fs::is_regular_file(destination / L"export-report.txt"));
    EXPECT_EQ(ShownProgressWindow(), nullptr);

    // A cancel at the first entry asks nothing.
    m_app->messages.clear();
    RunExport(ID_TOOLS_SITE, m_scratch.Path() / L"cancelled", true);
    EXPECT_TRUE(m_app->messages.empty());
    EXPECT_EQ(m_app->shellTargets.size(), 1u);
}

TEST_F(ToolsMenuTest, TheProjectOfACutFileSaysWhatIsMissingAndOpensOnlyOnYes)
{
    ASSERT_TRUE(Start({m_cut.wstring()}));
    const fs::path destination = m_scratch.Path() / L"project";
    EXPECT_TRUE(RunExport(ID_TOOLS_PROJECT, destination));
    ASSERT_EQ(m_app->messages.size(), 1u);
    EXPECT_TRUE(std::regex_match(m_app->messages[0], std::wregex(L"已把项目 cut.hhp 写到 .*\n有 [1-9]\\d* 个文件未能展开.[\\s\\S]*\n\n现在打开这个文件夹吗\\?")))
        << m_app->messages[0];
    EXPECT_TRUE(fs::is_regular_file(destination / L"cut.hhp"));
    EXPECT_TRUE(m_app->shellTargets.empty());

    // An empty destination is refused in the dialog, which stays open.
    m_app->messages.clear();
    bool stillShown = false;
    DialogDriver driver(
        [&](HWND dialog) {
            ClickButton(dialog, IDOK);
            stillShown = IsWindowVisible(dialog) != FALSE;
            SetDlgItemTextW(dialog, IDC_DESTINATION_FOLDER, (m_scratch.Path() / L"second").c_str());
        },
        CloseBy::Ok);
    m_app->answer = IDYES;
    Command(ID_TOOLS_PROJECT);
    EXPECT_TRUE(stillShown);
    ASSERT_EQ(m_app->messages.size(), 2u);
    EXPECT_EQ(m_app->messages[0], L"\"导出到\"域不能为空");
    EXPECT_EQ(m_app->shellTargets, std::vector<std::wstring>{(m_scratch.Path() / L"second").wstring()});
}
