// The tip of the day: finding and reading "tips.txt" across runs, the dialog's buttons and what they store, and
// how start-up and the Help menu offer it.
#include "app/TipDlg.h"
#include "AppTestSupport.h"
#include "resource.h"
#include "support/DialogDriver.h"
#include "view/ColumnSort.h"
#include "view/ContentFile.h"

#include <fstream>

namespace {

const std::string kTipsFile = "; comment: never shown\r\n"
                              "\r\n"
                              "第一条提示\r\n"
                              " indented, so a comment\r\n"
                              "\ttabbed, so a comment\r\n"
                              "second tip\r\n"
                              "\n"
                              "第三条提示\r\n";

} // namespace

class TipTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        DeleteSettings();
        m_app = std::make_unique<CTestApp>();
        m_app->SetRegistryKey(L"Local AppWizard-Generated Applications");
        m_previousFolder = fs::current_path();
        fs::current_path(m_scratch.Path());
    }
    void TearDown() override
    {
        fs::current_path(m_previousFolder);
        AppTest::TearDown();
    }

    // Writes "tips.txt" into the current folder, the text in the ANSI code page (936 here).
    static void WriteTips(const std::string& utf8Text)
    {
        std::ofstream("tips.txt", std::ios::binary | std::ios::trunc) << ToAnsiText(Wide(utf8Text));
    }
    // What one dialog object (one start) reads first.
    static std::wstring TipOfOneRun() { return CTipDlg().m_tipText; }

    fs::path m_previousFolder;
};

TEST_F(TipTest, EachRunTakesTheNextTipSkippingCommentsAndGoesRound)
{
    WriteTips(kTipsFile);
    EXPECT_EQ(TipOfOneRun(), L"第一条提示\n");
    const std::string bytes = ToAnsiText(Wide(kTipsFile));
    const std::string firstTip = ToAnsiText(L"第一条提示\r\n");
    EXPECT_EQ(ReadSetting(L"Tip", L"FilePos"), std::to_wstring(bytes.find(firstTip) + firstTip.size()));
    EXPECT_EQ(ReadSetting(L"Tip", L"StartUp"), L"");

    std::vector<std::wstring> shown;
    for (int run = 0; run < 4; ++run) shown.push_back(TipOfOneRun());
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"second tip\n", L"第三条提示\n", L"第一条提示\n", L"second tip\n"}));
}

TEST_F(TipTest, AReplacedFileStartsAgainAtTheFirstTipWhileAnEditedOneGoesOn)
{
    WriteTips(kTipsFile);
    EXPECT_EQ(TipOfOneRun(), L"第一条提示\n");
    // Editing in place keeps the file's creation time, so reading goes on.
    std::ofstream("tips.txt", std::ios::binary | std::ios::app) << "appended tip\r\n";
    EXPECT_EQ(TipOfOneRun(), L"second tip\n");
    // A file stamped differently from the stored one is another file.
    WriteSetting(L"Tip", L"TimeStamp", L"Mon Jan  1 00:00:00 2001");
    EXPECT_EQ(TipOfOneRun(), L"第一条提示\n");
    EXPECT_NE(ReadSetting(L"Tip", L"TimeStamp"), L"Mon Jan  1 00:00:00 2001");
    // A stored position past the end starts at the first tip too.
    WriteSetting(L"Tip", L"FilePos", DWORD{100000});
    EXPECT_EQ(TipOfOneRun(), L"第一条提示\n");
}

TEST_F(TipTest, AFileWithoutATipOrNoFileAtAllShowsItsMessageWithNextDisabled)
{
    for (const char* content : std::initializer_list<const char*>{"", "; only\r\n\r\n comments\r\n\tand blanks\n", nullptr}) {
        fs::remove("tips.txt");
        if (content) WriteTips(content);
        CTipDlg tip;
        std::wstring shown;
        bool nextEnabled = true;
        DialogDriver driver(
            [&](HWND dialog) {
                shown = ControlText(dialog, IDC_TIP_TEXT);
                nextEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_TIP_NEXT));
            },
            CloseBy::Escape);
        tip.DoModal();
        EXPECT_EQ(shown, content ? L"读取提示文件故障" : L"提示文件不在指定的目录中");
        EXPECT_FALSE(nextEnabled);
    }
    EXPECT_TRUE(m_app->messages.empty());
}

TEST_F(TipTest, NextTicksTheBoxAgainAndOnlyClosingStoresTheUntickedBox)
{
    WriteTips(kTipsFile);
    std::vector<std::wstring> shown;
    bool tickedAfterNext = false;
    DialogDriver driver(
        [&](HWND dialog) {
            shown.push_back(ControlText(dialog, IDC_TIP_TEXT));
            ClickButton(dialog, IDC_TIP_STARTUP);
            for (int press = 0; press < 3; ++press) {
                ClickButton(dialog, IDC_TIP_NEXT);
                shown.push_back(ControlText(dialog, IDC_TIP_TEXT));
            }
            tickedAfterNext = IsChecked(dialog, IDC_TIP_STARTUP);
        },
        CloseBy::Ok);
    CTipDlg().DoModal();
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"第一条提示\n", L"second tip\n", L"第三条提示\n", L"第一条提示\n"}));
    EXPECT_TRUE(tickedAfterNext);
    EXPECT_EQ(ReadSetting(L"Tip", L"StartUp"), L"0");

    for (const CloseBy closeBy : {CloseBy::Escape, CloseBy::Ok}) {
        DialogDriver untick([&](HWND dialog) { ClickButton(dialog, IDC_TIP_STARTUP); }, closeBy);
        CTipDlg().DoModal();
        EXPECT_EQ(ReadSetting(L"Tip", L"StartUp"), closeBy == CloseBy::Ok ? L"1" : L"0");
    }
    EXPECT_FALSE(CTipDlg().m_showAtStartup);
}

TEST_F(TipTest, ShownAtStartUpUnlessSwitchedOffOrEmbeddedYetEveryStartUsesOneTip)
{
    WriteTips(kTipsFile);
    std::wstring shownAtStart;
    {
        DialogDriver driver([&](HWND dialog) { shownAtStart = ControlText(dialog, IDC_TIP_TEXT); }, CloseBy::Ok);
        ASSERT_TRUE(Start());
        Shutdown();
    }
    EXPECT_EQ(shownAtStart, L"第一条提示\n");

    WriteSetting(L"Tip", L"StartUp", DWORD{1});
    for (const wchar_t* option : {L"", L"/Embedding", L"-AUTOMATION"}) {
        DialogDriver driver([](HWND) {}, CloseBy::Ok);
        ASSERT_TRUE(Start(*option ? std::vector<std::wstring>{option} : std::vector<std::wstring>{}));
        EXPECT_FALSE(driver.DialogWasShown()) << option;
        Shutdown();
    }
    // The second start used a tip, the embedded ones none; the Help menu's command shows the next.
    std::wstring fromMenu;
    DialogDriver driver([&](HWND dialog) { fromMenu = ControlText(dialog, IDC_TIP_TEXT); }, CloseBy::Escape);
    ASSERT_TRUE(Start());
    Command(ID_SHOW_TIP);
    EXPECT_EQ(fromMenu, L"第一条提示\n");
}

// The current folder first, as always, then beside the program; the bare name when neither has it.
TEST_F(TipTest, TheFileIsLookedForInTheCurrentFolderThenBesideTheProgram)
{
    TempFolder program;
    const auto found = [&program] { return LocateContentFile(L"tips.txt", program.Path().wstring()); };
    EXPECT_EQ(found(), L"tips.txt");
    WriteFileBytes(program / "tips.txt", {'p'});
    EXPECT_EQ(found(), (program / "tips.txt").wstring());
    WriteFileBytes(m_scratch / "tips.txt", {'c'});
    EXPECT_EQ(found(), L"tips.txt");
}
