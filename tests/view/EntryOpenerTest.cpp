// Opening one entry: its copy in the temporary folder, and what the shell is asked to start.
#include "framework/UniqueHandle.h"
#include "RecordingApp.h"
#include "resource.h"
#include "support/ChmBuilder.h"
#include "support/TempFolder.h"
#include "support/TestData.h"
#include "TestList.h"
#include "view/EntryCopyFolder.h"
#include "view/EntryOpener.h"
#include "view/ProgramEntry.h"
#include "view/ListContextMenu.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class EntryOpenerTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveEntryCopies(); }

    // Lists the entries; `type` stands in the type column of every row, as the shell would name it.
    void Open(const std::vector<BuiltEntry>& entries, const wchar_t* type)
    {
        WriteFileBytes(m_scratch / "entries.chm", BuildChm(entries));
        ASSERT_EQ(m_list.Show(m_engine, m_scratch / "entries.chm"), static_cast<int>(entries.size()));
        for (int row = 0; row < m_list.Control().GetItemCount(); ++row) m_list.Control().SetItemText(row, 2, type);
    }

    int RowOf(const wchar_t* name) const
    {
        for (int row = 0; row < m_list.Control().GetItemCount(); ++row)
            if (m_list.Control().GetItemText(row, 0) == name) return row;
        throw std::runtime_error("no such row");
    }

    // Each launched copy: in a folder of its own directly inside the entry-copy folder.
    void ExpectPlacesOfTheirOwn() const
    {
        std::set<fs::path> places;
        for (const auto& [file, parameters] : m_launcher.launches) {
            const fs::path copy = parameters.empty() ? file : fs::path(parameters);
            EXPECT_EQ(copy.parent_path().parent_path(), fs::path(EntryCopyFolderPath())) << copy;
            places.insert(copy.parent_path());
        }
        EXPECT_EQ(places.size(), m_launcher.launches.size());
    }

    CRecordingApp m_app;
    TempFolder m_scratch;
    CChmEngine m_engine;
    TestList m_list;
    RecordingLauncher m_launcher;
};

} // namespace

TEST_F(EntryOpenerTest, ATypedEntryIsCopiedUnderItsSafeNameToAPlaceOfItsOwnAndOpenedByTheShellEachTime)
{
    Open({{"/html/page.htm", "<p>page</p>"}, {"/..\\..\\escape.htm", "out"}}, L"HTML 文档");
    OpenEntry(m_list.Control(), RowOf(L"page.htm"), m_engine, m_launcher);
    WriteFileBytes(m_launcher.launches[0].first, {'x'});
    OpenEntry(m_list.Control(), RowOf(L"page.htm"), m_engine, m_launcher);
    OpenEntry(m_list.Control(), RowOf(L"..\\..\\escape.htm"), m_engine, m_launcher);
    ASSERT_EQ(m_launcher.launches.size(), 3u);
    ExpectPlacesOfTheirOwn();
    EXPECT_EQ(m_launcher.launches[1].first.filename(), "page.htm");
    EXPECT_EQ(m_launcher.launches[2].first.filename(), "..%5C..%5Cescape.htm");
    EXPECT_EQ(ReadFileText(m_launcher.launches[0].first), "x") << "a later opening leaves an earlier copy alone";
    EXPECT_EQ(ReadFileText(m_launcher.launches[1].first), "<p>page</p>");
    EXPECT_EQ(ReadFileText(m_launcher.launches[2].first), "out");
    EXPECT_TRUE(m_app.messages.empty());
}

TEST_F(EntryOpenerTest, AnUntypedEntryOpensInNotepadAndOneNoProgramOpensIsReported)
{
    Open({{"/notes with spaces.zzq", "text"}}, L"");
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    ASSERT_EQ(m_launcher.launches.size(), 1u);
    EXPECT_EQ(m_launcher.launches[0].first, L"NotePad.exe");
    EXPECT_EQ(fs::path(m_launcher.launches[0].second).filename(), L"notes with spaces.zzq");
    ExpectPlacesOfTheirOwn();
    m_launcher.programs = false;
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    EXPECT_EQ(m_app.messages, std::vector<std::wstring>{L"没有与" + m_launcher.launches[1].second + L"关联的程序."});
}

// Windows runs these rather than shows them, whatever their case; PATHEXT adds its own. Only the
// last extension counts, and a name that only looked runnable before the safe name's escapes
// ("x.exe." is written "x.exe%2E") is not.
TEST(ProgramEntry, TheExtensionsWindowsRunsAndThosePathExtAdds)
{
    for (const wchar_t* name : {L"SETUP.EXE", L"a.b.Js", L"x.reg", L".exe"}) EXPECT_TRUE(RunsAsProgram(name, L"")) << name;
    for (const wchar_t* name : {L"exe", L"notes.exe.txt", L"x.exe%2E", L"x.ex", L"x.exes"})
        EXPECT_FALSE(RunsAsProgram(name, L".COM;.EXE")) << name;
    EXPECT_TRUE(RunsAsProgram(L"tool.xyz", L".COM;.EXE;.XYZ"));
    EXPECT_TRUE(RunsAsProgram(L"tool.XyZ", L".xyz"));
    EXPECT_FALSE(RunsAsProgram(L"tool.xy", L".COM;.XYZ;"));
    EXPECT_FALSE(RunsAsProgram(L"tool", L";;."));
}

TEST(ListContextMenu, RunNeedsExactlyOneSelectedRowAndUnpackAnySelection)
{
    const CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU)));
    const HMENU popup = GetSubMenu(menu.Get(), 0);
    const auto enabled = [popup](UINT id) { return (GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED) == 0; };
    for (const auto& [selected, run, unpack] : {std::tuple{0, false, false}, {1, true, true}, {2, false, true}}) {
        EnableListMenuItems(popup, selected);
        EXPECT_EQ(enabled(ID_LIST_RUN), run) << selected;
        EXPECT_EQ(enabled(ID_LIST_UNPACK), unpack) << selected;
    }
}
