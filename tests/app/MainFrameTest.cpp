// The main frame: toolbar, status bar, help menu, keys, shell commands and
// the clean-up of the folder of opened entries.
#include "AppTestSupport.h"

#include "EntryCopyFolder.h"
#include "FrameworkIds.h"
#include "resource.h"

#include <filesystem>
#include <fstream>

namespace {

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}

HMENU HelpPopup(HWND frame)
{
    HMENU bar = GetMenu(frame);
    return GetSubMenu(bar, GetMenuItemCount(bar) - 1);
}

void FillEntryCopyFolder()
{
    const std::filesystem::path folder = EntryCopyFolderPath();
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "page.htm") << "<html></html>";
    std::ofstream(folder / L"图片.gif") << "GIF89a";
}

} // namespace

TEST_F(AppTest, ToolBarHasTheFiveLabelledButtonsWithLargeImages)
{
    ASSERT_TRUE(Start());
    CToolBar& bar = Frame().GetToolBar();
    const UINT ids[] = {ID_FILE_OPEN, ID_UNPACK, 0, ID_APP_ABOUT, ID_HOME_PAGE, ID_HELP_CONTENTS};
    const wchar_t* labels[] = {L"打开", L"展开", L"", L"关于", L"主页", L"帮助"};
    ASSERT_EQ(bar.GetButtonCount(), 6);
    for (int index = 0; index < 6; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(bar.GetItemId(index), ids[index]);
        if (ids[index] == 0) continue;
        wchar_t text[64] = {};
        bar.SendMessage(TB_GETBUTTONTEXTW, ids[index], reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, labels[index]);
    }
    const auto images = reinterpret_cast<HIMAGELIST>(bar.SendMessage(TB_GETIMAGELIST));
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &width, &height));
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 40);
    EXPECT_EQ(ImageList_GetImageCount(images), 5);
    // Every button is as big as the first one after labelling: the image plus its label.
    const RECT first = bar.GetItemRect(0);
    EXPECT_GT(first.bottom - first.top, 40 + 8);
    const RECT last = bar.GetItemRect(5);
    EXPECT_EQ(last.bottom - last.top, first.bottom - first.top);
    // The bar sits under the menu at the top, the list fills the rest above the status bar.
    RECT barRect{}, viewRect{}, statusRect{};
    GetWindowRect(bar.GetSafeHwnd(), &barRect);
    GetWindowRect(View().GetSafeHwnd(), &viewRect);
    GetWindowRect(Frame().GetStatusBar()->GetSafeHwnd(), &statusRect);
    EXPECT_LE(barRect.bottom, viewRect.top);
    EXPECT_LE(viewRect.bottom, statusRect.top);
    EXPECT_GE(barRect.bottom - barRect.top, first.bottom - first.top);
}

TEST_F(AppTest, ToolTipsAndPromptsComeFromTheCommandStrings)
{
    ASSERT_TRUE(Start());
    NMTTDISPINFOW tip{};
    tip.hdr.code = TTN_GETDISPINFOW;
    tip.hdr.idFrom = ID_FILE_OPEN;
    Frame().SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr);
    EXPECT_STREQ(tip.lpszText, L"打开");

    HMENU file = GetSubMenu(GetMenu(Frame().GetSafeHwnd()), 0);
    Frame().SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_UNPACK, MF_STRING), reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(StatusText(), L"展开文件");
    Frame().SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_SELECT_ALL, MF_STRING), reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(StatusText(), L"");
    Frame().SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(), L"就绪");
}

TEST_F(AppTest, StatusBarHasTheMessagePaneAndThreeLockKeyIndicators)
{
    ASSERT_TRUE(Start());
    CStatusBar& bar = *Frame().GetStatusBar();
    ASSERT_EQ(bar.SendMessage(SB_GETPARTS), 4);
    const std::pair<int, const wchar_t*> indicators[] = {{VK_CAPITAL, L"CAP"}, {VK_NUMLOCK, L"NUM"},
                                                         {VK_SCROLL, L"SCRL"}};
    for (int pane = 1; pane <= 3; ++pane) {
        const bool on = (GetKeyState(indicators[pane - 1].first) & 1) != 0;
        EXPECT_EQ(bar.GetPaneText(pane), on ? std::wstring(indicators[pane - 1].second) : std::wstring());
    }
}

TEST_F(AppTest, ViewMenuHidesAndShowsTheBars)
{
    ASSERT_TRUE(Start());
    HWND toolBar = Frame().GetToolBar().GetSafeHwnd();
    RECT before{};
    GetWindowRect(View().GetSafeHwnd(), &before);
    HMENU viewMenu = GetSubMenu(GetMenu(Frame().GetSafeHwnd()), 2);
    Frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 2);
    EXPECT_TRUE(GetMenuState(viewMenu, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);

    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(IsWindowVisible(toolBar));
    RECT after{};
    GetWindowRect(View().GetSafeHwnd(), &after);
    EXPECT_LT(after.top, before.top);
    Frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 2);
    EXPECT_FALSE(GetMenuState(viewMenu, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);

    Command(ID_VIEW_TOOLBAR);
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(IsWindowVisible(toolBar));
    EXPECT_FALSE(IsWindowVisible(Frame().GetStatusBar()->GetSafeHwnd()));
}

TEST_F(AppTest, HelpMenuGetsTheTipCommandOnceHoweverOftenItOpens)
{
    ASSERT_TRUE(Start());
    HWND frame = Frame().GetSafeHwnd();
    HMENU help = HelpPopup(frame);
    const int itemsBefore = GetMenuItemCount(help);
    for (int opening = 0; opening < 3; ++opening)
        Frame().SendMessage(WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(frame)));
    EXPECT_EQ(GetMenuItemCount(help), itemsBefore + 2);
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(ID_SHOW_TIP));
    EXPECT_EQ(MenuText(help, 0), L"日积月累(&P)...");
    EXPECT_TRUE(GetMenuState(help, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(MenuText(help, 2), L"目录(&C)\tF1");

    // The window menu has no help popup: it gets one, holding the tip command, once.
    HMENU windowMenu = GetSystemMenu(frame, FALSE);
    const int windowItems = GetMenuItemCount(windowMenu);
    for (int opening = 0; opening < 2; ++opening)
        Frame().SendMessage(WM_INITMENU, reinterpret_cast<WPARAM>(windowMenu));
    ASSERT_EQ(GetMenuItemCount(windowMenu), windowItems + 1);
    EXPECT_EQ(MenuText(windowMenu, windowItems), L"帮助(&H)");
    HMENU added = GetSubMenu(windowMenu, windowItems);
    ASSERT_NE(added, nullptr);
    ASSERT_EQ(GetMenuItemCount(added), 1);
    EXPECT_EQ(GetMenuItemID(added, 0), static_cast<UINT>(ID_SHOW_TIP));
}

TEST_F(AppTest, KeysReachTheirCommands)
{
    ASSERT_TRUE(Start({CorpusFile(L"topics.classic.chm")}));
    const int rows = List().GetItemCount();
    ASSERT_GT(rows, 100);
    PressKeys({VK_CONTROL, 'A'});
    EXPECT_EQ(List().GetSelectedCount(), rows);
    PressKeys({VK_F1});
    EXPECT_EQ(m_app->shellTargets, std::vector<std::wstring>{L"TARNHelp.chm"});
    PressKeys({VK_CONTROL, 'N'});
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
}

TEST_F(AppTest, SelectAllOnAnEmptyListDoesNothing)
{
    ASSERT_TRUE(Start());
    Command(ID_SELECT_ALL);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(List().GetSelectedCount(), 0);
}

TEST_F(AppTest, HelpHomePageAndMailGoToTheShell)
{
    ASSERT_TRUE(Start());
    // The toolbar's buttons, as a click sends them.
    HWND toolBar = Frame().GetToolBar().GetSafeHwnd();
    Frame().SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP_CONTENTS, BN_CLICKED), reinterpret_cast<LPARAM>(toolBar));
    Frame().SendMessage(WM_COMMAND, MAKEWPARAM(ID_HOME_PAGE, BN_CLICKED), reinterpret_cast<LPARAM>(toolBar));
    Command(ID_SEND_EMAIL);
    ASSERT_EQ(m_app->shellTargets.size(), 3u);
    EXPECT_EQ(m_app->shellTargets[0], L"TARNHelp.chm");
    EXPECT_EQ(m_app->shellTargets[1].rfind(L"https://", 0), 0u);
    EXPECT_EQ(m_app->shellTargets[2].rfind(L"mailto:", 0), 0u);
    EXPECT_NE(m_app->shellTargets[2].find(L'@'), std::wstring::npos);
}

TEST_F(AppTest, ClosingAndExitRemoveTheFolderOfOpenedEntries)
{
    const std::filesystem::path folder = EntryCopyFolderPath();
    for (bool useExit : {false, true}) {
        SCOPED_TRACE(useExit ? "File > Exit" : "close box");
        ASSERT_TRUE(Start());
        FillEntryCopyFolder();
        ASSERT_TRUE(std::filesystem::exists(folder));
        HWND frame = Frame().GetSafeHwnd();
        if (useExit)
            Command(ID_APP_EXIT);
        else
            SendMessageW(frame, WM_CLOSE, 0, 0);
        Pump();
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_TRUE(m_quitSeen);
        EXPECT_FALSE(std::filesystem::exists(folder));
        Shutdown();
    }
}

TEST_F(AppTest, ClosingLeavesAFileThatIsStillOpenAndItsFolder)
{
    ASSERT_TRUE(Start());
    FillEntryCopyFolder();
    const std::filesystem::path busy = std::filesystem::path(EntryCopyFolderPath()) / "page.htm";
    HANDLE holder = CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Shutdown();
    EXPECT_TRUE(std::filesystem::exists(busy));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(EntryCopyFolderPath()) / L"图片.gif"));
    CloseHandle(holder);
    RemoveEntryCopyFolder();
    EXPECT_FALSE(std::filesystem::exists(EntryCopyFolderPath()));
    // With no folder at all, closing simply closes.
    ASSERT_TRUE(Start());
    Shutdown();
    EXPECT_TRUE(m_quitSeen);
}

TEST_F(AppTest, DraggingTheGripperDocksTheToolBarOnTheNearestSide)
{
    ASSERT_TRUE(Start());
    CToolBar& bar = Frame().GetToolBar();
    HWND toolBar = bar.GetSafeHwnd();
    RECT frameClient{};
    GetClientRect(Frame().GetSafeHwnd(), &frameClient);
    MapWindowPoints(Frame().GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&frameClient), 2);

    const auto dragTo = [&](POINT screenTarget) {
        RECT barRect{};
        GetWindowRect(toolBar, &barRect);
        const POINT grip{barRect.left + 4, barRect.top + 4};
        ASSERT_EQ(SendMessageW(toolBar, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCAPTION);
        SendMessageW(toolBar, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(grip.x, grip.y));
        POINT target = screenTarget;
        ScreenToClient(toolBar, &target);
        SendMessageW(toolBar, WM_LBUTTONUP, 0, MAKELPARAM(target.x, target.y));
        Pump();
    };

    dragTo({frameClient.left + 5, (frameClient.top + frameClient.bottom) / 2});
    RECT barRect{}, viewRect{};
    GetWindowRect(toolBar, &barRect);
    GetWindowRect(View().GetSafeHwnd(), &viewRect);
    EXPECT_EQ(bar.GetDockSide(), DockSide::Left);
    EXPECT_TRUE(GetWindowLongPtrW(toolBar, GWL_STYLE) & CCS_VERT);
    EXPECT_EQ(barRect.left, frameClient.left);
    EXPECT_LE(barRect.right, viewRect.left);
    EXPECT_GT(barRect.bottom - barRect.top, barRect.right - barRect.left);

    dragTo({(frameClient.left + frameClient.right) / 2, frameClient.top + 2});
    GetWindowRect(toolBar, &barRect);
    GetWindowRect(View().GetSafeHwnd(), &viewRect);
    EXPECT_EQ(bar.GetDockSide(), DockSide::Top);
    EXPECT_FALSE(GetWindowLongPtrW(toolBar, GWL_STYLE) & CCS_VERT);
    EXPECT_EQ(barRect.top, frameClient.top);
    EXPECT_LE(barRect.bottom, viewRect.top);
}
