// The engine's walk into rows: order, skipped names, cells, item data and the storages behind them.
#include "engine/ChmEngine.h"
#include "engine/MemoryList.h"
#include "support/ChmBuilder.h"
#include "support/TempFolder.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class CountingFileTypes final : public IFileTypes {
public:
    std::wstring GetTypeName(std::wstring_view name) override
    {
        ++typeLookups[ExtensionKey(name)];
        return L"type of " + ExtensionKey(name);
    }
    int GetSmallIconIndex(std::wstring_view name) override { return static_cast<int>(ExtensionKey(name).size()); }
    std::map<std::wstring, int> typeLookups;
};

class WalkTest : public ::testing::Test {
protected:
    const CMemoryList& Walk(const std::vector<BuiltEntry>& entries)
    {
        const fs::path file = m_folder / ("file" + std::to_string(m_files++) + ".chm");
        WriteFileBytes(file, BuildChm(entries));
        EXPECT_GE(m_engine.OpenFile(file.wstring()), 0);
        m_engine.ReleaseWalk();
        m_list = {};
        m_list.SetRedraw(false);
        const int added = m_engine.WalkStorage(m_list, m_types, m_engine.GetRoot(), L"");
        EXPECT_EQ(added, m_list.GetRowCount());
        m_list.SetRedraw(true);
        return m_list;
    }

    TempFolder m_folder;
    CChmEngine m_engine;
    CountingFileTypes m_types;
    CMemoryList m_list;
    int m_files = 0;
};

TEST_F(WalkTest, ListsStreamsDepthFirstAndSkipsHashAndDollarNamesAtEveryDepth)
{
    const auto& rows = Walk({
        {"/#SYSTEM", "sys"},
        {"/$FIftiMain", "fti"},
        {"/a.htm", "aaaa"},
        {"/sub/", ""},
        {"/sub/b.htm", "bb"},
        {"/sub/#hidden.htm", "h"},
        {"/sub/$dir/c.htm", "c"},
        {"/sub/deeper/f.gif", "ffffff"},
        {"/$top/d.htm", "d"},
        {"/#x/e.htm", "e"},
        {"/z.txt", ""},
    }).Rows();
    const std::vector<std::array<std::wstring, 4>> expected = {
        {L"a.htm", L"4", L"type of htm", L""},
        {L"b.htm", L"2", L"type of htm", L"sub\\"},
        {L"f.gif", L"6", L"type of gif", L"sub\\deeper\\"},
        {L"z.txt", L"0", L"type of txt", L""},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].cells, expected[i]) << "row " << i;
        EXPECT_EQ(rows[i].itemData, static_cast<std::intptr_t>(i));
        EXPECT_EQ(rows[i].image, 3);
    }
    EXPECT_EQ(m_engine.GetParentStorage(0), m_engine.GetRoot());
    EXPECT_EQ(m_engine.GetParentStorage(3), m_engine.GetRoot());
    EXPECT_NE(m_engine.GetParentStorage(1), m_engine.GetParentStorage(2));
    EXPECT_EQ(m_engine.GetParentStorage(4), nullptr);
    EXPECT_EQ(m_engine.GetParentStorage(-1), nullptr);
    EXPECT_EQ(m_engine.GetOpenStorageCount(), 2); // "$" and "#" storages are never opened
}

TEST_F(WalkTest, LooksUpEachExtensionOncePerWalkAndPaintsOnceAtTheHundredthRow)
{
    for (const int rowCount : {99, 100, 250}) {
        std::vector<BuiltEntry> entries{{"/noext", "x"}};
        for (int i = 1; i < rowCount; ++i) entries.push_back({"/d" + std::to_string(i % 7) + "/p" + std::to_string(i) + (i % 3 ? ".htm" : ".HTM"), ""});
        m_types.typeLookups.clear();
        const auto& list = Walk(entries);
        EXPECT_EQ(list.Repaints(), rowCount >= 100 ? std::vector<int>{100} : std::vector<int>{}) << rowCount;
        EXPECT_EQ(m_types.typeLookups, (std::map<std::wstring, int>{{L"", 1}, {L"htm", 1}}));
    }
}

TEST_F(WalkTest, ShowsTheFullSizeOfStreamsOfFourGigabytesAndMore)
{
    const auto& rows = Walk({{"/huge.bin", "", 5'000'000'123ull}, {"/exact.bin", "", 4'294'967'296ull}}).Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells[1], L"4294967296");
    EXPECT_EQ(rows[1].cells[1], L"5000000123");
}

TEST_F(WalkTest, KeepsRowsUsableAfterAFailedOpen)
{
    const std::vector<CMemoryRow> rows = Walk({{"/a.htm", "alpha"}, {"/s/b.htm", "beta"}}).Rows();
    WriteFileBytes(m_folder / "plain.txt", {'h', 'e', 'l', 'l', 'o'});
    EXPECT_LT(m_engine.OpenFile((m_folder / "plain.txt").wstring()), 0);
    EXPECT_EQ(m_engine.GetRoot(), nullptr);

    // The old rows still reach live storages (the sanitizers watch for the opposite).
    TempFolder out;
    for (const CMemoryRow& row : rows)
        EXPECT_TRUE(m_engine.ExtractStream(m_engine.GetParentStorage(row.itemData), row.cells[3], row.cells[0],
                                           out.Path().wstring(), TRUE));
    EXPECT_EQ(ReadFileText(out / "s" / "b.htm"), "beta");
}

} // namespace
