// The tip of the day: reading "tips.txt" across runs, the dialog's buttons and
// what they store, and how start-up and the Help menu offer it.
#include "AppTestSupport.h"
#include "DialogDriver.h"
#include "TipDlg.h"
#include "resource.h"

#include <fstream>
#include <regex>

namespace {

const std::string kTipsFile =
    "; comment: never shown\r\n"
    "\r\n"
    "第一条提示\r\n"
    " indented, so a comment\r\n"
    "\ttabbed, so a comment\r\n"
    "second tip\r\n"
    "\n"
    "第三条提示\r\n";

std::string ToCodePage936(const std::wstring& text)
{
    const int length = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

// The value, or -1 when there is none.
long long ReadIntSetting(const wchar_t* entry)
{
    const std::wstring key = std::wstring(kSettingsKey) + L"\\Tip";
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), entry, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return -1;
    return value;
}

bool HasTipValue(const wchar_t* entry)
{
    const std::wstring key = std::wstring(kSettingsKey) + L"\\Tip";
    return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), entry, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

} // namespace

class TipTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        DeleteSettings();
        m_app = std::make_unique<CTestApp>();
        m_app->SetRegistryKey(L"Local AppWizard-Generated Applications");
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(m_scratch.Path());
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previousFolder);
        AppTest::TearDown();
    }

    // Writes "tips.txt" into the current folder, the text in code page 936.
    static void WriteTips(const std::string& utf8Text)
    {
        std::ofstream("tips.txt", std::ios::binary | std::ios::trunc) << ToCodePage936(Widen(utf8Text));
    }
    // What one dialog object (one start) reads first.
    static std::wstring TipOfOneRun()
    {
        CTipDlg tip;
        return tip.m_tipText;
    }

    std::filesystem::path m_previousFolder;
};

TEST_F(TipTest, FirstRunShowsFirstTipStampsTheFileAndStoresTheOffsetAfterIt)
{
    WriteTips(kTipsFile);
    {
        CTipDlg tip;
        EXPECT_TRUE(tip.m_showAtStartup);
        EXPECT_EQ(tip.m_tipText, L"第一条提示\n");
        EXPECT_FALSE(HasTipValue(L"FilePos"));
    }
    const std::string bytes = ToCodePage936(Widen(kTipsFile));
    const std::string firstTip = ToCodePage936(L"第一条提示\r\n");
    EXPECT_EQ(ReadIntSetting(L"FilePos"), static_cast<long long>(bytes.find(firstTip) + firstTip.size()));
    const std::wstring stamp = ReadSetting(L"Tip", L"TimeStamp");
    EXPECT_TRUE(std::regex_match(stamp, std::wregex(LR"(\w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4})")))
        << "TimeStamp: " << stamp.size() << " characters";
    EXPECT_FALSE(HasTipValue(L"StartUp"));
}

TEST_F(TipTest, EachRunTakesTheNextTipAndGoesRoundAfterTheLastWithoutComments)
{
    WriteTips(kTipsFile);
    const std::vector<std::wstring> expected = {L"第一条提示\n", L"second tip\n", L"第三条提示\n",
                                                L"第一条提示\n", L"second tip\n"};
    std::vector<std::wstring> shown;
    for (std::size_t run = 0; run < expected.size(); ++run) shown.push_back(TipOfOneRun());
    EXPECT_EQ(shown, expected);

    // Within one dialog the same order continues.
    CTipDlg tip;
    EXPECT_EQ(tip.m_tipText, L"第三条提示\n");
    std::wstring next;
    ASSERT_TRUE(tip.ReadNextTip(next));
    EXPECT_EQ(next, L"第一条提示\n");
}

TEST_F(TipTest, ReplacedFileStartsAgainAtTheFirstTipWhileAnEditedOneGoesOn)
{
    WriteTips(kTipsFile);
    EXPECT_EQ(TipOfOneRun(), L"第一条提示\n");
    EXPECT_EQ(TipOfOneRun(), L"second tip\n");

    // Editing in place keeps the file's creation time, so reading goes on.
    std::ofstream("tips.txt", std::ios::binary | std::ios::app) << "appended tip\r\n";
    EXPECT_EQ(TipOfOneRun(), L"第三条提示\n");

    // A file stamped differently from the stored one is another file.
    WriteSetting(L"Tip", L"TimeStamp", L"Mon Jan  1 00:00:00 2001");
    EXPECT_EQ(TipOfOneRun(), L"第一条提示\n");
    EXPECT_NE(ReadSetting(L"Tip", L"TimeStamp"), L"Mon Jan  1 00:00:00 2001");

    // A real replacement: a new file made a second later.
    const std::wstring stampBefore = ReadSetting(L"Tip", L"TimeStamp");
    std::filesystem::remove("tips.txt");
    Sleep(1100);
    WriteTips("new first\r\nnew second\r\nnew third\r\n");
    WriteSetting(L"Tip", L"FilePos", DWORD{11});
    EXPECT_EQ(TipOfOneRun(), L"new first\n");
    EXPECT_NE(ReadSetting(L"Tip", L"TimeStamp"), stampBefore);
}

TEST_F(TipTest, StoredPositionBeyondTheEndShowsTheFirstTip)
{
    WriteTips(kTipsFile);
    { CTipDlg stamp; }
    WriteSetting(L"Tip", L"FilePos", DWORD{100000});
    EXPECT_EQ(TipOfOneRun(), L"第一条提示\n");
}

TEST_F(TipTest, LongLineIsShownIn999CharacterPiecesAndLineEndsMayBeBareLineFeeds)
{
    WriteTips(std::string(1200, 'a') + "\nshort\n");
    CTipDlg tip;
    EXPECT_EQ(tip.m_tipText, std::wstring(999, L'a'));
    std::wstring next;
    ASSERT_TRUE(tip.ReadNextTip(next));
    EXPECT_EQ(next, std::wstring(201, L'a') + L"\n");
    ASSERT_TRUE(tip.ReadNextTip(next));
    EXPECT_EQ(next, L"short\n");
    ASSERT_TRUE(tip.ReadNextTip(next));
    EXPECT_EQ(next, std::wstring(999, L'a'));
}

TEST_F(TipTest, FileWithoutATipLineEndsReadingAndDisablesNext)
{
    for (const std::string& content : {std::string(), std::string("; only\r\n\r\n comments\r\n\tand blanks\n"),
                                      std::string("\r\n")}) {
        SCOPED_TRACE(content.size());
        WriteTips(content);
        CTipDlg tip;
        std::wstring next = L"untouched";
        EXPECT_FALSE(tip.ReadNextTip(next));
        EXPECT_EQ(next, L"untouched");
        EXPECT_EQ(tip.m_tipText, L"读取提示文件故障");
        bool nextEnabled = true;
        DialogDriver driver([&](HWND dialog) { nextEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_TIP_NEXT)); },
                            CloseBy::Escape);
        tip.DoModal();
        EXPECT_TRUE(driver.DialogWasShown());
        EXPECT_FALSE(nextEnabled);
    }
    EXPECT_TRUE(m_app->messages.empty());
}

TEST_F(TipTest, MissingFileShowsItsMessageWithNextDisabledAndStoresNoPosition)
{
    CTipDlg tip;
    EXPECT_EQ(tip.m_tipText, L"提示文件不在指定的目录中");
    std::wstring shownText;
    bool nextEnabled = true;
    DialogDriver driver(
        [&](HWND dialog) {
            shownText = ControlText(dialog, IDC_TIP_TEXT);
            nextEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_TIP_NEXT));
        },
        CloseBy::Ok);
    tip.DoModal();
    EXPECT_EQ(shownText, L"提示文件不在指定的目录中");
    EXPECT_FALSE(nextEnabled);
    EXPECT_TRUE(m_app->messages.empty());
    EXPECT_FALSE(HasTipValue(L"TimeStamp"));
}

TEST_F(TipTest, UntickingAndClosingStoresStartUpOneButEscapeStoresNothing)
{
    WriteTips(kTipsFile);
    for (const CloseBy closeBy : {CloseBy::Escape, CloseBy::Ok}) {
        bool tickedAtOpening = false;
        std::wstring shownText;
        DialogDriver driver(
            [&](HWND dialog) {
                tickedAtOpening = IsChecked(dialog, IDC_TIP_STARTUP);
                shownText = ControlText(dialog, IDC_TIP_TEXT);
                ClickButton(dialog, IDC_TIP_STARTUP);
            },
            closeBy);
        CTipDlg tip;
        tip.DoModal();
        EXPECT_TRUE(driver.DialogWasShown());
        EXPECT_TRUE(tickedAtOpening);
        EXPECT_FALSE(shownText.empty());
        EXPECT_EQ(ThreadDialogCount(), 0);
        if (closeBy == CloseBy::Escape) {
            EXPECT_FALSE(HasTipValue(L"StartUp"));
        }
    }
    EXPECT_EQ(ReadIntSetting(L"StartUp"), 1);
    EXPECT_FALSE(CTipDlg().m_showAtStartup);
}

TEST_F(TipTest, NextShowsTheFollowingTipAndTicksTheBoxAgain)
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
    EXPECT_EQ(ReadIntSetting(L"StartUp"), 0);
    // The dialog stopped after the first tip, so the next one follows it.
    EXPECT_EQ(TipOfOneRun(), L"second tip\n");
}

class StartupTipTest : public TipTest {};

TEST_F(StartupTipTest, ShownAtStartUpUnlessSwitchedOffYetEveryStartUsesOneTip)
{
    WriteTips(kTipsFile);
    std::wstring shownAtStart;
    {
        DialogDriver driver([&](HWND dialog) { shownAtStart = ControlText(dialog, IDC_TIP_TEXT); }, CloseBy::Ok);
        ASSERT_TRUE(Start());
        EXPECT_TRUE(driver.DialogWasShown());
        Shutdown();
    }
    EXPECT_EQ(shownAtStart, L"第一条提示\n");

    WriteSetting(L"Tip", L"StartUp", DWORD{1});
    for (int start = 0; start < 2; ++start) {
        DialogDriver driver([](HWND) {}, CloseBy::Ok);
        ASSERT_TRUE(Start());
        EXPECT_FALSE(driver.DialogWasShown());
        Shutdown();
    }
    // Each of four starts uses one tip, the fourth going round to the first; the
    // Help menu's command then shows the one after it.
    std::wstring fromMenu;
    DialogDriver driver([&](HWND dialog) { fromMenu = ControlText(dialog, IDC_TIP_TEXT); }, CloseBy::Escape);
    ASSERT_TRUE(Start());
    EXPECT_FALSE(driver.DialogWasShown());
    Command(ID_SHOW_TIP);
    EXPECT_EQ(fromMenu, L"second tip\n");
}

TEST_F(StartupTipTest, EmbeddingOrAutomationNeverOffersATip)
{
    WriteTips(kTipsFile);
    for (const wchar_t* option : {L"/Embedding", L"-AUTOMATION"}) {
        SCOPED_TRACE(option);
        DialogDriver driver([](HWND) {}, CloseBy::Ok);
        ASSERT_TRUE(Start({option}));
        EXPECT_FALSE(driver.DialogWasShown());
        EXPECT_FALSE(HasTipValue(L"FilePos"));
        Shutdown();
    }
}
