#include "Application.h"
#include "ChmEngine.h"
#include "ColumnSort.h"
#include "GenericFileTypes.h"
#include "ListViewRows.h"
#include "TempFolder.h"
#include "TestList.h"
#include "UnpackDlg.h"
#include "UnpackFailures.h"
#include "UnpackRun.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

fs::path FixturesFolder()
{
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(L"TARNWICK_FIXTURES", buffer, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2) return buffer;
    return TARNWICK_FIXTURES;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

fs::path InternalFolder(const std::wstring& internalPath)
{
    std::wstring folder = internalPath;
    for (wchar_t& character : folder)
        if (character == L'\\') character = L'/';
    return fs::path(folder);
}

int FilesUnder(const fs::path& root)
{
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) count += entry.is_regular_file() ? 1 : 0;
    return count;
}

class CRecordingApp : public CApplication {
public:
    int DoMessageBox(const std::wstring& text, UINT) override
    {
        messages.push_back(text);
        return IDOK;
    }
    std::vector<std::wstring> messages;
};

// The real dialog, driven by messages posted once it is up.
class CScriptedUnpackDlg : public CUnpackDlg {
public:
    using Script = std::function<void(HWND dialog)>;

    CScriptedUnpackDlg(CListViewControl list, CChmEngine& engine, Script script)
        : CUnpackDlg(list, engine), m_script(std::move(script))
    {
    }

    bool selectedChecked = false;
    bool allChecked = false;
    bool usePathsChecked = false;
    std::wstring initialDestination;

protected:
    BOOL OnInitDialog() override
    {
        const BOOL result = CUnpackDlg::OnInitDialog();
        selectedChecked = IsDlgButtonChecked(GetSafeHwnd(), IDC_UNPACK_SELECTED) == BST_CHECKED;
        allChecked = IsDlgButtonChecked(GetSafeHwnd(), IDC_UNPACK_ALL) == BST_CHECKED;
        usePathsChecked = IsDlgButtonChecked(GetSafeHwnd(), IDC_UNPACK_USE_PATHS) == BST_CHECKED;
        wchar_t text[MAX_PATH] = {};
        GetDlgItemTextW(GetSafeHwnd(), IDC_UNPACK_DESTINATION, text, MAX_PATH);
        initialDestination = text;
        m_script(GetSafeHwnd());
        return result;
    }

private:
    Script m_script;
};

void PostClick(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class UnpackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey(L"Tarnwick View Tests");
        ASSERT_GE(m_engine.OpenFile((FixturesFolder() / L"varied.chm").wstring()), 0);
        CListViewRows rows(m_list.Control());
        CGenericFileTypes types;
        m_rowCount = m_engine.WalkStorage(rows, types, m_engine.GetRoot(), L"");
        ASSERT_GT(m_rowCount, 60);
    }
    void TearDown() override { m_app.GetProfile().DeleteAll(); }

    // Runs the dialog: the script fills in the destination and confirms.
    INT_PTR Unpack(int fileChoice, const std::wstring& destination, bool usePaths = true,
                   const std::function<void(HWND)>& alsoQueue = {})
    {
        CScriptedUnpackDlg dialog(m_list.Control(), m_engine, [&](HWND window) {
            SetDlgItemTextW(window, IDC_UNPACK_DESTINATION, destination.c_str());
            if (!usePaths) SendDlgItemMessageW(window, IDC_UNPACK_USE_PATHS, BM_CLICK, 0, 0);
            PostClick(window, IDOK);
            if (alsoQueue) alsoQueue(window);
            PostClick(window, IDCANCEL); // only reached when OK left the dialog open
        });
        dialog.m_nFileChoice = fileChoice;
        return dialog.DoModal();
    }

    fs::path Extracted() const { return FixturesFolder() / L"varied.extracted"; }

    TestRow Row(int index) const { return m_list.Row(index); }

    CRecordingApp m_app;
    CChmEngine m_engine;
    TestList m_list;
    TempFolder m_target;
    int m_rowCount = 0;
};

} // namespace

TEST_F(UnpackTest, DialogOpensWithTheOpenersChoiceUsePathsCheckedAndNoDestination)
{
    for (const int choice : {IDC_UNPACK_SELECTED, IDC_UNPACK_ALL}) {
        CScriptedUnpackDlg dialog(m_list.Control(), m_engine, [](HWND window) { PostClick(window, IDCANCEL); });
        dialog.m_nFileChoice = choice;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.selectedChecked, choice == IDC_UNPACK_SELECTED);
        EXPECT_EQ(dialog.allChecked, choice == IDC_UNPACK_ALL);
        EXPECT_TRUE(dialog.usePathsChecked);
        EXPECT_EQ(dialog.initialDestination, L"");
    }
    EXPECT_EQ(FilesUnder(m_target.Path()), 0);
}

TEST_F(UnpackTest, AnEmptyDestinationIsRefusedAndTheDialogStaysOpen)
{
    EXPECT_EQ(Unpack(IDC_UNPACK_ALL, L""), IDCANCEL);
    ASSERT_EQ(m_app.messages.size(), 1u);
    EXPECT_EQ(m_app.messages[0], L"\"展开到\"域不能为空");
    EXPECT_EQ(FilesUnder(m_target.Path()), 0);
}

TEST_F(UnpackTest, AllRowsWithInternalPathsMatchTheReferenceExtraction)
{
    EXPECT_EQ(Unpack(IDC_UNPACK_ALL, m_target.Path().wstring()), IDOK);
    EXPECT_TRUE(m_app.messages.empty());
    EXPECT_EQ(FilesUnder(m_target.Path()), m_rowCount);
    for (int index = 0; index < m_rowCount; ++index) {
        const TestRow row = Row(index);
        const fs::path relative = InternalFolder(row.path) / row.name;
        EXPECT_TRUE(ReadAll(m_target / relative) == ReadAll(Extracted() / relative)) << relative;
    }
}

TEST_F(UnpackTest, AllRowsFlatIntoATrailingBackslashDestination)
{
    EXPECT_EQ(Unpack(IDC_UNPACK_ALL, m_target.Path().wstring() + L"\\", false), IDOK);
    EXPECT_EQ(FilesUnder(m_target.Path()), m_rowCount);
    for (int index = 0; index < m_rowCount; ++index) {
        const TestRow row = Row(index);
        EXPECT_TRUE(ReadAll(m_target / row.name) == ReadAll(Extracted() / InternalFolder(row.path) / row.name)) << row.name;
    }
}

TEST_F(UnpackTest, SelectedRowsAreTakenInTheOrderShownAfterASort)
{
    CColumnSort(m_list.Control()).SortByText(0, false, 0, -1);
    for (const int row : {5, 2, 9}) m_list.SetState(row, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ChosenRows(m_list.Control(), IDC_UNPACK_SELECTED), (std::vector<int>{2, 5, 9}));

    EXPECT_EQ(Unpack(IDC_UNPACK_SELECTED, m_target.Path().wstring(), false), IDOK);
    EXPECT_EQ(FilesUnder(m_target.Path()), 3);
    for (const int index : {2, 5, 9}) {
        const TestRow row = Row(index);
        EXPECT_TRUE(ReadAll(m_target / row.name) == ReadAll(Extracted() / InternalFolder(row.path) / row.name)) << row.name;
    }
}

TEST_F(UnpackTest, ChoosingSelectedFilesWithNothingSelectedWritesNothing)
{
    const std::wstring destination = m_target.Path().wstring();
    CScriptedUnpackDlg dialog(m_list.Control(), m_engine, [&](HWND window) {
        SetDlgItemTextW(window, IDC_UNPACK_DESTINATION, destination.c_str());
        SendDlgItemMessageW(window, IDC_UNPACK_SELECTED, BM_CLICK, 0, 0);
        PostClick(window, IDOK);
    });
    dialog.m_nFileChoice = IDC_UNPACK_ALL;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nFileChoice, IDC_UNPACK_SELECTED);
    EXPECT_EQ(FilesUnder(m_target.Path()), 0);
    EXPECT_TRUE(m_app.messages.empty());
}

TEST_F(UnpackTest, EscapeCancelsBetweenRowsLeavingLaterRowsUntouched)
{
    const auto queueEscape = [](HWND dialog) { PostMessageW(dialog, WM_CHAR, VK_ESCAPE, 1); };
    EXPECT_EQ(Unpack(IDC_UNPACK_ALL, m_target.Path().wstring(), false, queueEscape), IDOK);
    // The row being written when the cancel came is completed; none after it starts.
    EXPECT_EQ(FilesUnder(m_target.Path()), 1);
    EXPECT_TRUE(fs::exists(m_target / Row(0).name));
    EXPECT_TRUE(m_app.messages.empty());
}

TEST_F(UnpackTest, RowsThatCannotBeReadAreNamedAtTheEndWithoutStoppingTheRun)
{
    // Rows whose storage is gone, as after a failed open.
    m_list.Add({L"lost-1.htm", L"1", L"", L"gone\\", 9999, 0});
    m_list.Add({L"lost-2.htm", L"1", L"", L"", 9998, 0});
    EXPECT_EQ(Unpack(IDC_UNPACK_ALL, m_target.Path().wstring(), false), IDOK);
    EXPECT_EQ(FilesUnder(m_target.Path()), m_rowCount);
    ASSERT_EQ(m_app.messages.size(), 1u);
    EXPECT_EQ(m_app.messages[0], L"有 2 个文件未能展开:\ngone\\lost-1.htm\nlost-2.htm");
}

TEST_F(UnpackTest, ATargetThatCannotBeWrittenEndsTheRunWithTheFileErrorMessage)
{
    // A file where the destination folder should be: nothing can be created under it.
    const fs::path blocker = m_target / L"blocker";
    std::ofstream(blocker) << "x";
    EXPECT_EQ(Unpack(IDC_UNPACK_ALL, blocker.wstring(), false), IDOK);
    ASSERT_EQ(m_app.messages.size(), 1u);
    EXPECT_NE(m_app.messages[0].find(Row(0).name), std::wstring::npos) << m_app.messages[0];
    EXPECT_EQ(FilesUnder(m_target.Path()), 1);
}

TEST(UnpackFailures, NamesOnlyTheFirstFew)
{
    CUnpackFailures failures;
    EXPECT_FALSE(failures.Any());
    for (int index = 0; index < 7; ++index) failures.Add(L"a\\", L"f" + std::to_wstring(index));
    EXPECT_EQ(failures.Count(), 7);
    EXPECT_EQ(failures.Message(), L"有 7 个文件未能展开:\na\\f0\na\\f1\na\\f2\na\\f3\na\\f4\n……");
}

TEST(RemoveTrailingBackslash, RemovesOneWholeBackslashOnly)
{
    std::wstring twice = L"C:\\out\\\\";
    RemoveTrailingBackslash(twice);
    EXPECT_EQ(twice, L"C:\\out\\");
    std::wstring none = L"C:\\out";
    RemoveTrailingBackslash(none);
    EXPECT_EQ(none, L"C:\\out");

    // A character whose code-page-936 trail byte has a backslash's value is kept whole.
    wchar_t trailBackslash = 0;
    for (wchar_t candidate = 0x4E00; candidate < 0x9FA5 && !trailBackslash; ++candidate) {
        char bytes[4] = {};
        if (WideCharToMultiByte(936, 0, &candidate, 1, bytes, 4, nullptr, nullptr) == 2 && bytes[1] == '\\')
            trailBackslash = candidate;
    }
    ASSERT_NE(trailBackslash, 0);
    std::wstring ending = std::wstring(L"C:\\") + trailBackslash;
    RemoveTrailingBackslash(ending);
    EXPECT_EQ(ending, std::wstring(L"C:\\") + trailBackslash);
}
