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
#include "view/ListContextMenu.h"

#include <gtest/gtest.h>

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

    std::wstring Copy(const wchar_t* name) const { return EntryCopyFolderPath() + L"\\" + name; }

    CRecordingApp m_app;
    TempFolder m_scratch;
    CChmEngine m_engine;
    TestList m_list;
    RecordingLauncher m_launcher;
};

} // namespace

TEST_F(EntryOpenerTest, ATypedEntryIsCopiedFlatUnderItsSafeNameAndOpenedByTheShellEachTime)
{
    Open({{"/html/page.htm", "<p>page</p>"}, {"/..\\..\\escape.htm", "out"}}, L"HTML 文档");
    OpenEntry(m_list.Control(), 1, m_engine, m_launcher);
    WriteFileBytes(Copy(L"page.htm"), {'x'});
    OpenEntry(m_list.Control(), 1, m_engine, m_launcher);
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    const std::pair<fs::path, std::wstring> launch{Copy(L"page.htm"), L""};
    EXPECT_EQ(m_launcher.launches, (std::vector{launch, launch, std::pair{fs::path(Copy(L"..%5C..%5Cescape.htm")), std::wstring()}}));
    EXPECT_EQ(ReadFileText(Copy(L"page.htm")), "<p>page</p>");
    EXPECT_EQ(ReadFileText(Copy(L"..%5C..%5Cescape.htm")), "out");
}

TEST_F(EntryOpenerTest, AnUntypedEntryOpensInNotepadAndOneNoProgramOpensIsReported)
{
    Open({{"/notes with spaces.zzq", "text"}}, L"");
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    EXPECT_EQ(m_launcher.launches, (std::vector<std::pair<fs::path, std::wstring>>{{L"NotePad.exe", Copy(L"notes with spaces.zzq")}}));
    m_launcher.programs = false;
    OpenEntry(m_list.Control(), 0, m_engine, m_launcher);
    EXPECT_EQ(m_app.messages, std::vector<std::wstring>{L"没有与" + Copy(L"notes with spaces.zzq") + L"关联的程序."});
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
