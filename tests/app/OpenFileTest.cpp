// Opening help files into the running window: the Open dialog, a second file,
// files that are not help files or cannot be read, New, and Ctrl+S.
#include "AppTestSupport.h"

#include "framework/FrameworkIds.h"
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
        const std::vector<ShownRow> rows = Rows();
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
    const std::vector<ShownRow> before = Rows();
    const fs::path text = m_scratch / L"readme.chm";
    std::ofstream(text) << "plain text";
    const fs::path empty = m_scratch / L"empty.chm";
    std::ofstream{empty};
    const std::wstring locked = CopyCorpusFile(L"combined.chm", m_scratch / L"locked.chm").wstring();
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);

    for (const auto& [bad, message] : {std::pair{text.wstring(), std::wstring(L"不能打开这个文件.")},
                                      {empty.wstring(), L"不能打开这个文件."},
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

TEST_F(AppTest, NewKeepsTheRowsUnderTheUntitledNameAndSaveNeverWrites)
{
    const std::wstring file = CopyCorpusFile(L"example.chm", m_scratch / L"copy.chm").wstring();
    const auto timeBefore = fs::last_write_time(file);
    ASSERT_TRUE(Start({file}));
    Command(ID_FILE_SAVE);
    PressKeys({VK_CONTROL, 'S'});
    EXPECT_EQ(fs::last_write_time(file), timeBefore);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_scratch.Path()), fs::directory_iterator()), 1);

    const std::size_t rows = Rows().size();
    Command(ID_FILE_NEW);
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
    EXPECT_EQ(Rows().size(), rows);
    EXPECT_TRUE(m_app->messages.empty());
}
