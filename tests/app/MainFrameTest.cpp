// The main frame: the help menu, keys, shell commands, the about box, the clean-up of the folder
// of opened entries, and its place between starts.
#include "AppTestSupport.h"

#include "framework/FrameworkIds.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "view/EntryCopyFolder.h"

#include <commctrl.h>

#include <cstdlib>

namespace {

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}

// The program's current folder, where the help file is looked for first, for as long as this lives.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : m_previous(fs::current_path()) { fs::current_path(folder); }
    ~CurrentFolder() { fs::current_path(m_previous); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    fs::path m_previous;
};

} // namespace

TEST_F(AppTest, HelpMenusGetTheTipCommandOnceHoweverOftenTheyOpen)
{
    ASSERT_TRUE(Start());
    HWND frame = Frame().GetSafeHwnd();
    HMENU help = GetSubMenu(GetMenu(frame), GetMenuItemCount(GetMenu(frame)) - 1);
    const int itemsBefore = GetMenuItemCount(help);
    for (int opening = 0; opening < 3; ++opening) Frame().SendMessage(WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(frame)));
    EXPECT_EQ(GetMenuItemCount(help), itemsBefore + 2);
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(ID_SHOW_TIP));

    // The window menu has no help popup: it gets one, holding the tip command, once.
    HMENU windowMenu = GetSystemMenu(frame, FALSE);
    const int windowItems = GetMenuItemCount(windowMenu);
    for (int opening = 0; opening < 2; ++opening) Frame().SendMessage(WM_INITMENU, reinterpret_cast<WPARAM>(windowMenu));
    ASSERT_EQ(GetMenuItemCount(windowMenu), windowItems + 1);
    EXPECT_EQ(MenuText(windowMenu, windowItems), L"帮助(&H)");
    EXPECT_EQ(GetMenuItemID(GetSubMenu(windowMenu, windowItems), 0), static_cast<UINT>(ID_SHOW_TIP));
}

TEST_F(AppTest, KeysButtonsAndTheAboutBoxReachTheirCommands)
{
    const std::wstring file = CopyCorpusFile(L"topics.classic.chm", m_scratch / L"copy.chm").wstring();
    const auto timeBefore = fs::last_write_time(file);
    ASSERT_TRUE(Start({file}));
    const int rows = List().GetItemCount();
    ASSERT_GT(rows, 100);
    TempFolder programFolder;
    WriteFileBytes(programFolder / L"TARNHelp.chm", {'x'});
    const CurrentFolder startedIn(programFolder.Path());
    PressKeys({VK_CONTROL, 'A'});
    EXPECT_EQ(List().GetSelectedCount(), rows);
    PressKeys({VK_F1});
    // A toolbar button, as a click sends it; the mail command; the about box's entries, which
    // leave it open, and its telephone entry, which does nothing.
    Frame().SendMessage(WM_COMMAND, MAKEWPARAM(ID_HOME_PAGE, BN_CLICKED), reinterpret_cast<LPARAM>(Frame().GetToolBar().GetSafeHwnd()));
    Command(ID_SEND_EMAIL);
    bool aboutStaysOpen = false;
    DialogDriver driver(
        [&](HWND about) {
            for (int entry : {IDC_ABOUT_EMAIL, IDC_ABOUT_HOME_PAGE, IDC_ABOUT_PHONE}) ClickButton(about, entry);
            aboutStaysOpen = IsWindowVisible(about) != FALSE;
        },
        CloseBy::Ok);
    Command(ID_APP_ABOUT);
    EXPECT_TRUE(aboutStaysOpen);
    const std::wstring home = L"https://tarnwick.example.com/", mail = L"mailto:support@tarnwick.example.com";
    EXPECT_EQ(m_app->shellTargets, (std::vector<std::wstring>{L"TARNHelp.chm", home, mail, mail, home}));
    // Save never writes; New keeps the rows under the untitled name.
    Command(ID_FILE_SAVE);
    PressKeys({VK_CONTROL, 'S'});
    EXPECT_EQ(fs::last_write_time(file), timeBefore);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_scratch.Path()), fs::directory_iterator()), 1);
    PressKeys({VK_CONTROL, 'N'});
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
    EXPECT_EQ(List().GetItemCount(), rows);
    EXPECT_TRUE(m_app->messages.empty());
}

// Every running copy of the program shares the folder: each removes only its own copies, and the
// folder once nothing is left in it.
TEST_F(AppTest, ClosingAndExitRemoveOnlyThisCopysOpenedEntriesAndThenTheEmptyFolder)
{
    const fs::path folder = EntryCopyFolderPath();
    RecordingLauncher launcher;
    for (const bool useExit : {false, true}) {
        ASSERT_TRUE(Start({CorpusFile(L"example.chm")}));
        View().SetEntryLauncher(&launcher);
        View().OpenEntry(0);
        View().OpenEntry(1);
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (!useExit) {
            WriteFileBytes(folder / "another-copys.htm", {'x'});
            holder = CreateFileW(launcher.launches[1].first.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        }
        HWND frame = Frame().GetSafeHwnd();
        useExit ? Command(ID_APP_EXIT) : (void)SendMessageW(frame, WM_CLOSE, 0, 0);
        Pump();
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_TRUE(m_quitSeen);
        EXPECT_FALSE(fs::exists(launcher.launches[useExit ? 2 : 0].first));
        EXPECT_EQ(fs::exists(folder / "another-copys.htm"), !useExit);
        EXPECT_EQ(fs::exists(launcher.launches[1].first), !useExit) << "a copy still open stays";
        CloseHandle(holder);
        fs::remove(folder / "another-copys.htm");
        fs::remove(launcher.launches[1].first);
        Shutdown();
    }
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(AppTest, TheWindowComesBackAsItClosedAndMaximisedWidensNameAndPath)
{
    const auto placeOf = [this] {
        RECT place{};
        GetWindowRect(Frame().GetSafeHwnd(), &place);
        return std::vector<LONG>{place.left, place.top, place.right - place.left, place.bottom - place.top};
    };
    const auto columnWidths = [this] {
        std::vector<int> widths;
        for (int column = 0; column < 4; ++column) widths.push_back(ListView_GetColumnWidth(List().GetSafeHwnd(), column));
        return widths;
    };
    ASSERT_TRUE(Start());
    MoveWindow(Frame().GetSafeHwnd(), 40, 30, 700, 420, TRUE);
    Shutdown();
    ASSERT_TRUE(Start({CorpusFile(L"topics.classic.chm")}));
    EXPECT_EQ(placeOf(), (std::vector<LONG>{40, 30, 700, 420}));

    const std::vector<int> before = columnWidths();
    ShowWindow(Frame().GetSafeHwnd(), SW_MAXIMIZE);
    Pump();
    const std::vector<int> maximised = columnWidths();
    RECT client{};
    GetClientRect(List().GetSafeHwnd(), &client);
    EXPECT_EQ(maximised[1], before[1]);
    EXPECT_EQ(maximised[2], before[2]);
    const int nameGain = maximised[0] - before[0], pathGain = maximised[3] - before[3];
    EXPECT_GT(nameGain, 100);
    EXPECT_LE(std::abs(nameGain - pathGain), 1);
    EXPECT_EQ(maximised[0] + maximised[1] + maximised[2] + maximised[3], client.right);
    Shutdown();

    // Started maximised, it restores to the place it had before.
    ASSERT_TRUE(Start({CorpusFile(L"topics.classic.chm")}));
    EXPECT_TRUE(IsZoomed(Frame().GetSafeHwnd()));
    EXPECT_GT(columnWidths()[0], before[0] + 100);
    EXPECT_GT(columnWidths()[3], before[3] + 100);
    ShowWindow(Frame().GetSafeHwnd(), SW_RESTORE);
    Pump();
    EXPECT_EQ(placeOf(), (std::vector<LONG>{40, 30, 700, 420}));
    EXPECT_EQ(columnWidths(), before);
    Shutdown();

    // A place kept on a screen that is gone is not used: centred again.
    WriteSetting(L"设置", L"WindowLeft", DWORD{50000});
    ASSERT_TRUE(Start());
    EXPECT_EQ(placeOf()[2], 550);
    EXPECT_NE(placeOf()[0], 50000);
}

// Nothing that the help, home-page and mail commands need may be missing without a word.
TEST_F(AppTest, HelpHomePageAndMailSayWhatIsMissing)
{
    ASSERT_TRUE(Start());
    TempFolder programFolder;
    const CurrentFolder startedIn(programFolder.Path());
    PressKeys({VK_F1});
    EXPECT_TRUE(m_app->shellTargets.empty());
    WriteFileBytes(programFolder / L"TARNHelp.chm", {'x'});
    m_app->shellAnswers = false; // no program for a help file, no browser, no mail program
    PressKeys({VK_F1});
    Command(ID_HOME_PAGE);
    Command(ID_SEND_EMAIL);
    EXPECT_EQ(m_app->shellTargets.size(), 3u);
    EXPECT_EQ(m_app->messages, (std::vector<std::wstring>{
                                   L"找不到帮助文件 TARNHelp.chm: 当前文件夹和程序所在的文件夹中都没有它.",
                                   L"没有能打开帮助文件的程序:\nTARNHelp.chm",
                                   L"没有浏览器能打开主页 https://tarnwick.example.com/: 请先设置默认的浏览器.",
                                   L"没有电子邮件程序能写信给 support@tarnwick.example.com: 请先设置默认的电子邮件程序.",
                               }));
}
