// The about box hands the support address and the home page to the shell and stays open; the
// telephone entry does nothing.
#include "AppTestSupport.h"
#include "DialogDriver.h"
#include "resource.h"

TEST_F(AppTest, AboutBoxLinksGoToTheShellAndTheTelephoneEntryDoesNothing)
{
    ASSERT_TRUE(Start());
    bool openAfterClicks = false;
    DialogDriver driver(
        [&](HWND dialog) {
            for (int entry : {IDC_ABOUT_EMAIL, IDC_ABOUT_HOME_PAGE, IDC_ABOUT_PHONE}) ClickButton(dialog, entry);
            openAfterClicks = IsWindowVisible(dialog) != FALSE;
        },
        CloseBy::Ok);
    Command(ID_APP_ABOUT);
    ASSERT_TRUE(driver.DialogWasShown());
    EXPECT_TRUE(openAfterClicks);
    EXPECT_EQ(m_app->shellTargets,
              (std::vector<std::wstring>{L"mailto:support@tarnwick.example.com", L"https://tarnwick.example.com/"}));
    EXPECT_EQ(ThreadDialogCount(), 0);
}
