// Start-up: with and without a file, the window's
// place, the list's setup, and the command lines that end the program.
#include "AppTestSupport.h"

#include "SystemImageList.h"
#include "resource.h"

#include <filesystem>
#include <fstream>

TEST_F(AppTest, StartWithoutFileShowsUntitledEmptyWindowCentredOnScreen)
{
    ASSERT_TRUE(Start());
    HWND frame = Frame().GetSafeHwnd();
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(StatusText(), L"就绪");
    EXPECT_TRUE(m_app->messages.empty());

    RECT placed{};
    GetWindowRect(frame, &placed);
    HDC screen = GetDC(nullptr);
    const int width = GetDeviceCaps(screen, HORZRES);
    const int height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(placed.left, (width - 550) / 2);
    EXPECT_EQ(placed.top, (height - 350) / 2);
    EXPECT_EQ(placed.right - placed.left, 550);
    EXPECT_EQ(placed.bottom - placed.top, 350);
}

TEST_F(AppTest, ListIsAReportWithFourColumnsAndTheSharedSystemIcons)
{
    ASSERT_TRUE(Start());
    HWND list = View().GetSafeHwnd();
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SHAREIMAGELISTS);
    EXPECT_FALSE(style & (LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_EDITLABELS | LVS_NOSORTHEADER));
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);

    const wchar_t* headings[] = {L"文件名称", L"大小", L"类型", L"路径"};
    const int widths[] = {150, 50, 100, 200};
    const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_LEFT, LVCFMT_LEFT};
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 4);
    for (int column = 0; column < 4; ++column) {
        wchar_t text[64] = {};
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        info.pszText = text;
        info.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info)));
        EXPECT_STREQ(text, headings[column]);
        EXPECT_EQ(info.cx, widths[column]);
        EXPECT_EQ(info.fmt & LVCFMT_JUSTIFYMASK, formats[column]);
    }

    SHFILEINFOW shellInfo{};
    const auto systemList = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        L".txt", FILE_ATTRIBUTE_NORMAL, &shellInfo, sizeof shellInfo,
        SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), systemList);
    EXPECT_EQ(CSystemImageList::GetImageList(), systemList);
}

TEST_F(AppTest, StartWithHelpFileShowsItsRowsTitleAndTotal)
{
    const std::wstring file = CorpusFile(L"topics.classic.chm");
    ASSERT_TRUE(Start({file}));
    EXPECT_EQ(Title(), L"topics.classic.chm - Tarnwick");

    const std::vector<CMemoryRow> expected = EngineRows(file);
    const std::vector<ShownRow> shown = Rows();
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t row = 0; row < shown.size(); ++row) {
        SCOPED_TRACE(shown[row].path + shown[row].name);
        EXPECT_EQ(shown[row].name, expected[row].cells[0]);
        EXPECT_EQ(shown[row].size, expected[row].cells[1]);
        EXPECT_EQ(shown[row].type, expected[row].cells[2]);
        EXPECT_EQ(shown[row].path, expected[row].cells[3]);
        EXPECT_EQ(shown[row].itemData, static_cast<std::intptr_t>(row));
        EXPECT_EQ(shown[row].image, ShellIconIndex(shown[row].name));
        EXPECT_NE(Document().m_engine.GetParentStorage(shown[row].itemData), nullptr);
    }
    EXPECT_EQ(StatusText(), L"总共 " + std::to_wstring(shown.size()) + L" 个文件");
    // The refill leaves no "please wait" window behind.
    EXPECT_EQ(ThreadDialogCount(), 0);
}

TEST_F(AppTest, RowCountMatchesTheStreamsThatAnIndependentExtractorFinds)
{
    // 7zz's extraction, less the names beginning with "#" or "$" at any depth.
    const std::filesystem::path oracle = FixtureFile(L"corpus\\topics.classic.extracted");
    ASSERT_TRUE(std::filesystem::is_directory(oracle)) << "run tests/fixtures/make-fixtures.sh";
    std::size_t streams = 0;
    for (auto entry = std::filesystem::recursive_directory_iterator(oracle);
         entry != std::filesystem::recursive_directory_iterator(); ++entry) {
        const std::wstring name = entry->path().filename().wstring();
        if (name[0] == L'#' || name[0] == L'$') {
            if (entry->is_directory()) entry.disable_recursion_pending();
            continue;
        }
        if (entry->is_regular_file()) ++streams;
    }
    ASSERT_TRUE(Start({CorpusFile(L"topics.classic.chm")}));
    EXPECT_EQ(static_cast<std::size_t>(List().GetItemCount()), streams);
}

TEST_F(AppTest, UnpackIsEnabledExactlyWhileAHelpFileIsOpenAndSelectAllAlways)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(ToolBarButtonEnabled(ID_UNPACK));
    EXPECT_FALSE(MenuItemEnabled(0, ID_UNPACK));
    EXPECT_TRUE(MenuItemEnabled(1, ID_SELECT_ALL));

    ASSERT_NE(m_app->OpenDocumentFile(CorpusFile(L"example.chm")), nullptr);
    Pump();
    EXPECT_EQ(List().GetSelectedCount(), 0);
    EXPECT_TRUE(ToolBarButtonEnabled(ID_UNPACK));
    EXPECT_TRUE(MenuItemEnabled(0, ID_UNPACK));
    EXPECT_TRUE(MenuItemEnabled(1, ID_SELECT_ALL));
}

TEST_F(AppTest, MissingFileOnTheCommandLineEndsStartUpWithTheFrameworkMessage)
{
    const std::wstring missing = (m_scratch / L"不存在.chm").wstring();
    EXPECT_FALSE(Start({missing}));
    ASSERT_EQ(m_app->messages.size(), 1u);
    EXPECT_EQ(m_app->messages[0], L"找不到" + missing + L".");
    EXPECT_EQ(m_app->GetMainWindow(), nullptr);
    EXPECT_EQ(ThreadWindowCount(FrameWindowClassName()), 0);
}

TEST_F(AppTest, FileThatIsNoHelpFileOnTheCommandLineLeavesAUsableUntitledWindow)
{
    const std::filesystem::path text = m_scratch / L"notes.chm";
    std::ofstream(text) << "just some text, not a help file";
    ASSERT_TRUE(Start({text.wstring()}));
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"不能打开这个文件."});
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_TRUE(ReadSetting(L"Recent File List", L"File1").empty());
}

TEST_F(AppTest, UnregisterRemovesTheSettingsKeyAndEndsWithItsMessage)
{
    WriteSetting(L"Tip", L"StartUp", DWORD{1});
    WriteSetting(L"Recent File List", L"File1", L"C:\\a.chm");
    EXPECT_FALSE(Start({L"/Unregister"}));
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_EQ(m_app->messages,
              std::vector<std::wstring>{L"系统注册表记录和INI文件(如果有的话)已经被删除."});
    EXPECT_EQ(m_app->GetMainWindow(), nullptr);
    Shutdown();
    // Ending the program must not bring the key back.
    EXPECT_FALSE(SettingsKeyExists());

    EXPECT_FALSE(Start({L"-UNREGSERVER"}));
    EXPECT_EQ(m_app->messages,
              std::vector<std::wstring>{L"系统注册表记录和INI文件(如果有的话)已经被删除."});
}

TEST_F(AppTest, PrintSwitchOpensTheFileAndEndsTheProgram)
{
    const std::wstring file = CorpusFile(L"example.chm");
    EXPECT_FALSE(Start({L"/p", file}));
    EXPECT_TRUE(m_app->messages.empty());
    EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), file);
}

TEST_F(AppTest, EmbeddingAndDdeSwitchesStillShowAnUntitledWindow)
{
    for (const wchar_t* option : {L"/Embedding", L"-automation", L"/dde"}) {
        SCOPED_TRACE(option);
        ASSERT_TRUE(Start({option}));
        EXPECT_TRUE(IsWindowVisible(Frame().GetSafeHwnd()));
        EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
        Shutdown();
    }
}
