#include "ChmBuilder.h"
#include "ChmEngine.h"
#include "EntryCopyFolder.h"
#include "EntryOpener.h"
#include "GenericFileTypes.h"
#include "ListContextMenu.h"
#include "ListViewRows.h"
#include "TempFolder.h"
#include "TestList.h"
#include "UniqueHandle.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Launch {
    std::wstring file;
    std::wstring parameters;
};

class CRecordingLauncher final : public IEntryLauncher {
public:
    void Launch(const std::wstring& file, const std::wstring& parameters) override
    {
        launches.push_back({file, parameters});
    }
    std::vector<::Launch> launches;
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

int RowNamed(const TestList& list, const std::wstring& name)
{
    const std::vector<std::wstring> names = list.Column(0);
    for (std::size_t row = 0; row < names.size(); ++row)
        if (names[row] == name) return static_cast<int>(row);
    return -1;
}

class EntryOpenerTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveEntryCopyFolder(); }
    void TearDown() override { RemoveEntryCopyFolder(); }

    void Open(const std::vector<BuiltEntry>& entries)
    {
        const fs::path file = m_scratch / "entries.chm";
        WriteFileBytes(file.string(), BuildChm(entries));
        ASSERT_GE(m_engine.OpenFile(file.wstring()), 0);
        CListViewRows rows(m_list.Control());
        CGenericFileTypes types;
        m_engine.WalkStorage(rows, types, m_engine.GetRoot(), L"");
    }
    // The type column as the shell would leave it for a name it does not know.
    void ClearType(int row) { m_list.Control().SetItemText(row, 2, L""); }
    void SetType(int row, const wchar_t* type) { m_list.Control().SetItemText(row, 2, type); }

    fs::path CopyFolder() const { return fs::path(EntryCopyFolderPath()); }

    TempFolder m_scratch;
    CChmEngine m_engine;
    TestList m_list;
    CRecordingLauncher m_launcher;
};

} // namespace

TEST_F(EntryOpenerTest, ATypedEntryIsCopiedAndOpenedByTheShell)
{
    Open({{"/html/page.htm", "<p>page</p>"}, {"/other.htm", "other"}});
    const int row = RowNamed(m_list, L"page.htm");
    ASSERT_NE(row, -1);
    SetType(row, L"HTML 文档");

    OpenEntry(m_list.Control(), row, m_engine, m_launcher);

    const std::wstring copy = EntryCopyFolderPath() + L"\\page.htm";
    ASSERT_EQ(m_launcher.launches.size(), 1u);
    EXPECT_EQ(m_launcher.launches[0].file, copy);
    EXPECT_EQ(m_launcher.launches[0].parameters, L"");
    EXPECT_EQ(ReadAll(copy), "<p>page</p>");
    EXPECT_FALSE(fs::exists(CopyFolder() / "html"));
}

TEST_F(EntryOpenerTest, AnUntypedEntryOpensInNotepadWithThePathUnquoted)
{
    Open({{"/notes with spaces.zzq", "text"}});
    ClearType(0);
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    ASSERT_EQ(m_launcher.launches.size(), 1u);
    EXPECT_EQ(m_launcher.launches[0].file, L"NotePad.exe");
    EXPECT_EQ(m_launcher.launches[0].parameters, EntryCopyFolderPath() + L"\\notes with spaces.zzq");
}

TEST_F(EntryOpenerTest, OpeningTwiceWritesTheCopyAgainAndStartsItAgain)
{
    Open({{"/a.txt", "fresh"}});
    SetType(0, L"文本文档");
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    std::ofstream(CopyFolder() / "a.txt", std::ios::binary) << "edited by the program";
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    EXPECT_EQ(m_launcher.launches.size(), 2u);
    EXPECT_EQ(ReadAll(CopyFolder() / "a.txt"), "fresh");
}

TEST_F(EntryOpenerTest, ARowWhoseStorageIsGoneStartsNothing)
{
    Open({{"/a.htm", "ay"}});
    m_list.Add({L"stale.htm", L"1", L"HTML 文档", L"", 4242, 0});
    OpenEntry(m_list.Control(), 1, m_engine, m_launcher);
    m_engine.ReleaseWalk(); // as after a failed open: every row is stale
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    EXPECT_TRUE(m_launcher.launches.empty());
    EXPECT_FALSE(fs::exists(CopyFolder() / "stale.htm"));
    EXPECT_FALSE(fs::exists(CopyFolder() / "a.htm"));
}

TEST_F(EntryOpenerTest, AHostileNameStaysInsideTheCopyFolder)
{
    Open({{"/..\\..\\escape.htm", "out"}});
    ASSERT_EQ(m_list.Column(0), (std::vector<std::wstring>{L"..\\..\\escape.htm"}));
    SetType(0, L"HTML 文档");
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    ASSERT_EQ(m_launcher.launches.size(), 1u);
    const fs::path copy(m_launcher.launches[0].file);
    EXPECT_EQ(copy.parent_path(), CopyFolder());
    EXPECT_EQ(ReadAll(copy), "out");
    EXPECT_FALSE(fs::exists(CopyFolder().parent_path().parent_path() / "escape.htm"));
}

TEST(ListContextMenu, RunNeedsExactlyOneSelectedRowAndUnpackAnySelection)
{
    const CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU)));
    ASSERT_TRUE(menu);
    const HMENU popup = GetSubMenu(menu.Get(), 0);
    const auto grayed = [popup](UINT id) { return (GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };

    EnableListMenuItems(popup, 0);
    EXPECT_TRUE(grayed(ID_LIST_RUN));
    EXPECT_TRUE(grayed(ID_LIST_UNPACK));
    EnableListMenuItems(popup, 1);
    EXPECT_FALSE(grayed(ID_LIST_RUN));
    EXPECT_FALSE(grayed(ID_LIST_UNPACK));
    EnableListMenuItems(popup, 2);
    EXPECT_TRUE(grayed(ID_LIST_RUN));
    EXPECT_FALSE(grayed(ID_LIST_UNPACK));
}
