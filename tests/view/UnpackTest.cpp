// The unpack dialog and its run on a real list of the varied fixture's rows.
#include "RecordingApp.h"
#include "resource.h"
#include "support/ChmBuilder.h"
#include "support/DialogDriver.h"
#include "support/TempFolder.h"
#include "support/TestData.h"
#include "TestList.h"
#include "unpackdialog/UnpackDlg.h"
#include "unpackdialog/UnpackFailures.h"
#include "unpackdialog/UnpackRun.h"
#include "view/ColumnSort.h"

#include <gtest/gtest.h>

namespace {

class UnpackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey(L"Tarnwick View Tests");
        m_rowCount = m_list.Show(m_engine, FixturesDir() / L"varied.chm");
        ASSERT_GT(m_rowCount, 60);
    }
    void TearDown() override { m_app.GetProfile().DeleteAll(); }

    // Opens the dialog with `fileChoice`, lets `whileShown` work in it, then confirms it.
    void Unpack(int fileChoice, const std::wstring& destination, bool usePaths,
                const std::function<void(HWND)>& whileShown = {})
    {
        DialogDriver driver(
            [&](HWND dialog) {
                SetDlgItemTextW(dialog, IDC_UNPACK_DESTINATION, destination.c_str());
                if (!usePaths) ClickButton(dialog, IDC_UNPACK_USE_PATHS);
                if (whileShown) whileShown(dialog);
            },
            CloseBy::Ok);
        CUnpackDlg dialog(m_list.Control(), m_engine);
        dialog.m_nFileChoice = fileChoice;
        dialog.DoModal();
        ASSERT_TRUE(driver.DialogWasShown());
        // As the list view tells it.
        if (dialog.Outcome()) ShowUnpackOutcome(*dialog.Outcome(), nullptr, m_list.Control().GetSafeHwnd());
    }

    // Every row named by `rows` (all when empty) was written where it belongs, with 7zz's bytes.
    void ExpectWritten(std::vector<int> rows, bool usePaths)
    {
        for (int row = 0; rows.empty() && row < m_rowCount; ++row) rows.push_back(row);
        for (const int index : rows) {
            const TestRow row = m_list.Row(index);
            const fs::path internal = fs::path(row.path).make_preferred() / row.name;
            EXPECT_EQ(ReadFileText(m_target / (usePaths ? internal : fs::path(row.name))),
                      ReadFileText(FixturesDir() / L"varied.extracted" / internal)) << internal;
        }
    }

    CRecordingApp m_app;
    CChmEngine m_engine;
    TestList m_list;
    TempFolder m_target;
    int m_rowCount = 0;
};

} // namespace

TEST_F(UnpackTest, AnEmptyDestinationIsRefusedAndTheDialogStaysOpen)
{
    bool openAfterOk = false;
    DialogDriver driver(
        [&](HWND dialog) {
            ClickButton(dialog, IDOK);
            openAfterOk = IsWindowVisible(dialog) != FALSE;
        },
        CloseBy::Escape);
    EXPECT_EQ(CUnpackDlg(m_list.Control(), m_engine).DoModal(), IDCANCEL);
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(m_app.messages, std::vector<std::wstring>{L"\"展开到\"域不能为空"});
    EXPECT_EQ(FileCount(m_target.Path()), 0);
}

TEST_F(UnpackTest, AllRowsUnderTheirFoldersOrFlatIntoATrailingBackslashDestination)
{
    Unpack(IDC_UNPACK_ALL, m_target.Path().wstring(), true);
    EXPECT_EQ(FileCount(m_target.Path()), m_rowCount);
    ExpectWritten({}, true);
    fs::remove_all(m_target.Path());
    fs::create_directories(m_target.Path());

    Unpack(IDC_UNPACK_ALL, m_target.Path().wstring() + L"\\", false);
    EXPECT_EQ(FileCount(m_target.Path()), m_rowCount);
    ExpectWritten({}, false);
    EXPECT_TRUE(m_app.messages.empty());
}

TEST_F(UnpackTest, SelectedRowsAreTakenInTheOrderShownAfterASort)
{
    CColumnSort(m_list.Control()).SortByText(0, false, 0, -1);
    for (const int row : {5, 2, 9}) m_list.SetState(row, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ChosenRows(m_list.Control(), IDC_UNPACK_SELECTED), (std::vector<int>{2, 5, 9}));
    // The radio button the user clicks decides, whatever the dialog opened with.
    Unpack(IDC_UNPACK_ALL, m_target.Path().wstring(), false, [](HWND dialog) { ClickButton(dialog, IDC_UNPACK_SELECTED); });
    EXPECT_EQ(FileCount(m_target.Path()), 3);
    ExpectWritten({2, 5, 9}, false);
}

TEST_F(UnpackTest, EscapeCancelsBetweenRowsLeavingLaterRowsUntouched)
{
    Unpack(IDC_UNPACK_ALL, m_target.Path().wstring(), false,
           [](HWND dialog) { PostMessageW(dialog, WM_CHAR, VK_ESCAPE, 1); });
    // The row being written when the cancel came is completed; none after it starts.
    EXPECT_EQ(FileCount(m_target.Path()), 1);
    ExpectWritten({0}, false);
    EXPECT_TRUE(m_app.messages.empty());
}

TEST_F(UnpackTest, RowsThatCannotBeReadAreNamedAtTheEndWithoutStoppingTheRun)
{
    // Rows whose storage is gone, as after a failed open.
    m_list.Add({L"lost-1.htm", L"1", L"", L"gone\\", 9999, 0});
    m_list.Add({L"lost-2.htm", L"1", L"", L"", 9998, 0});
    Unpack(IDC_UNPACK_ALL, m_target.Path().wstring(), false);
    EXPECT_EQ(FileCount(m_target.Path()), m_rowCount);
    EXPECT_EQ(m_app.messages, std::vector<std::wstring>{L"有 2 个文件未能展开:\ngone\\lost-1.htm: 读取失败\nlost-2.htm: 读取失败"});

    CUnpackFailures failures;
    for (int index = 0; index < 7; ++index) failures.Add(L"a\\", L"f" + std::to_wstring(index), L"r");
    EXPECT_EQ(failures.Message(), L"有 7 个文件未能展开:\na\\f0: r\na\\f1: r\na\\f2: r\na\\f3: r\na\\f4: r\n……");
}

// A destination that cannot be made, or is gone in the middle of the run, ends it with one message.
TEST_F(UnpackTest, ADestinationThatIsUnusableEndsTheRunWithTheFileErrorMessage)
{
    // A file where the destination folder should be: nothing can be created under it.
    const fs::path blocker = m_target / L"blocker";
    WriteFileBytes(blocker, {'x'});
    Unpack(IDC_UNPACK_ALL, (blocker / L"out").wstring(), false);
    const fs::path gone = m_target / L"gone";
    Unpack(IDC_UNPACK_ALL, gone.wstring(), false, [&](HWND) { WhenTheNextLoopRuns([&] { fs::remove_all(gone); }); });
    ASSERT_EQ(m_app.messages.size(), 2u);
    EXPECT_TRUE(m_app.messages[0].find(L"blocker") != std::wstring::npos && m_app.messages[1].find(L"gone") != std::wstring::npos);
}

// A name that clashes with a folder and a name too long for the file system fail only their own
// entries; the destination, with its missing parents, is made first.
TEST_F(UnpackTest, AnEntrysOwnBadPathIsNamedAtTheEndWithoutStoppingTheRun)
{
    const std::string longName(300, 'n');
    WriteFileBytes(m_target / L"clash.chm", BuildChm({{"/clash", "c"}, {"/clash/inner.txt", "i"}, {"/" + longName, "l"}, {"/z.htm", "z"}}));
    ASSERT_EQ(m_list.Show(m_engine, m_target / L"clash.chm"), 4);
    Unpack(IDC_UNPACK_ALL, (m_target / L"new" / L"out").wstring(), true);
    EXPECT_EQ(ReadFileText(m_target / L"new" / L"out" / L"z.htm"), "z");
    ASSERT_EQ(m_app.messages.size(), 1u);
    EXPECT_EQ(m_app.messages[0].rfind(L"有 2 个文件未能展开:\n", 0), 0u) << m_app.messages[0];
    EXPECT_EQ(m_app.messages[0].find(Wide(longName)), std::wstring::npos) << "a line longer than the screen";
}

TEST_F(UnpackTest, TheProgressWindowHasTheKeyboardAndClosingItCancels)
{
    bool hadFocus = false;
    Unpack(IDC_UNPACK_ALL, m_target.Path().wstring(), false, [&](HWND) {
        WhenTheNextLoopRuns([&] {
            const HWND progress = FindThreadWindow([](HWND window) { return TitleStartsWith(window, L"正在展开..."); });
            hadFocus = IsChild(progress, GetFocus());
            SendMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0); // what Alt+F4 sends
        });
    });
    EXPECT_TRUE(hadFocus);
    EXPECT_LT(FileCount(m_target.Path()), m_rowCount);
    EXPECT_TRUE(m_app.messages.empty());
}

TEST(RemoveTrailingBackslash, RemovesOneBackslashOnly)
{
    std::wstring twice = L"C:\\out\\\\";
    RemoveTrailingBackslash(twice);
    EXPECT_EQ(twice, L"C:\\out\\");
}
