// The about box: its texts and pictures, and the entries that hand the support
// address and the home page to the shell while the box stays open.
#include "AppTestSupport.h"
#include "DialogDriver.h"
#include "resource.h"

TEST_F(AppTest, AboutBoxLinksGoToTheShellAndTheTelephoneEntryDoesNothing)
{
    ASSERT_TRUE(Start());
    std::wstring caption;
    std::vector<std::wstring> targetsAfterEachClick;
    bool openAfterClicks = false;
    bool hasLogo = false;
    bool hasIcon = false;
    bool showsVersion = false;
    DialogDriver driver(
        [&](HWND dialog) {
            wchar_t text[64] = {};
            GetWindowTextW(dialog, text, 64);
            caption = text;
            for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                if (GetDlgCtrlID(child) == 0) hasLogo = SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
                if (SendMessageW(child, STM_GETICON, 0, 0)) hasIcon = true;
                GetWindowTextW(child, text, 64);
                if (std::wstring(text) == L"Tarnwick 版本 1.3") showsVersion = true;
            }
            for (int entry : {IDC_ABOUT_EMAIL, IDC_ABOUT_HOME_PAGE, IDC_ABOUT_PHONE}) {
                ClickButton(dialog, entry);
                targetsAfterEachClick.push_back(m_app->shellTargets.empty() ? L"" : m_app->shellTargets.back());
            }
            openAfterClicks = IsWindowVisible(dialog) != FALSE;
        },
        CloseBy::Ok);
    Command(ID_APP_ABOUT);

    ASSERT_TRUE(driver.DialogWasShown());
    EXPECT_EQ(caption, L"关于Tarnwick");
    EXPECT_TRUE(showsVersion);
    EXPECT_TRUE(hasLogo);
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(openAfterClicks);
    EXPECT_EQ(targetsAfterEachClick,
              (std::vector<std::wstring>{L"mailto:support@tarnwick.example.com", L"https://tarnwick.example.com/",
                                         L"https://tarnwick.example.com/"}));
    // The telephone entry added nothing: two targets for three clicks.
    EXPECT_EQ(m_app->shellTargets.size(), 2u);
    EXPECT_EQ(ThreadDialogCount(), 0);
}
