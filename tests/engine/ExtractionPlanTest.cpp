// The order the command line copies streams in: the data's, without changing which file wins.
#include "engine/ChmEngine.h"
#include "engine/ExtractionPlan.h"
#include "storage/ComRef.h"
#include "support/ChmBuilder.h"
#include "support/TempFolder.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <tuple>

using tarnwick::helpfile::EntryTable;
using tarnwick::helpfile::ReadEntryTable;
using tarnwick::helpfile::WalkScope;
using tarnwick::storage::ComRef;

namespace {

class PlanTest : public ::testing::Test {
protected:
    void Open(const fs::path& file)
    {
        ASSERT_GE(m_engine.OpenFile(file.wstring()), 0);
        m_entries = ReadEntryTable(m_engine.GetRoot(), WalkScope::Listed);
    }

    ExtractionPlan FullPlan(bool usePaths) { return PlanExtraction(m_entries, usePaths); }
    std::vector<std::size_t> Plan(bool usePaths) { return FullPlan(usePaths).order; }

    // Asked of the storage by name, apart from the walk that filled the table.
    StreamPlace PlaceOf(std::size_t i)
    {
        ComRef<IStreamPlacement> placement;
        EXPECT_EQ(m_entries.Storage(i)->QueryInterface(IID_IStreamPlacement, reinterpret_cast<void**>(placement.Put())),
                  S_OK);
        StreamPlace place;
        EXPECT_EQ(placement->GetStreamPlacement(m_entries.Name(i).c_str(), &place), S_OK);
        return place;
    }

    TempFolder m_folder;
    CChmEngine m_engine;
    EntryTable m_entries;
};

TEST_F(PlanTest, FollowsTheDataButKeepsTheRowsOfOneTargetInListingOrder)
{
    // Listed in name order (d1/same, d2/same, one, two); the data lies elsewhere.
    const fs::path file = m_folder / "order.chm";
    WriteFileBytes(file, BuildChm({{"/one.htm", "1111", std::nullopt, 8},
                                   {"/d1/same.htm", "2222", std::nullopt, 4},
                                   {"/d2/same.htm", "3333", std::nullopt, 0},
                                   {"/two.htm", "4444", std::nullopt, 12}}));
    Open(file);
    EXPECT_EQ(Plan(true), (std::vector<std::size_t>{1, 0, 2, 3}));
    // Flat, both "same.htm" rows write one file: the second listed must still be written last.
    EXPECT_EQ(Plan(false), (std::vector<std::size_t>{0, 1, 2, 3}));

    const fs::path conflict = m_folder / "conflict.chm";
    WriteFileBytes(conflict, BuildChm({{"/x", "1111", std::nullopt, 4}, {"/x/y.htm", "2222", std::nullopt, 0}}));
    Open(conflict);
    EXPECT_EQ(Plan(true), (std::vector<std::size_t>{0, 1})) << "which of file and folder gets made depends on order";
    EXPECT_EQ(Plan(false), (std::vector<std::size_t>{1, 0}));
}

TEST_F(PlanTest, PutsAFileFromTheHelpCompilerInDataOrder)
{
    Open(CorpusDir() / "topics.classic.chm");
    const auto before = [](const StreamPlace& a, const StreamPlace& b) {
        return std::tie(a.section, a.offset) < std::tie(b.section, b.offset);
    };
    std::vector<StreamPlace> listed;
    for (std::size_t i = 0; i < m_entries.Size(); ++i) {
        listed.push_back(PlaceOf(i));
        EXPECT_EQ(std::tie(listed[i].section, listed[i].offset, listed[i].length),
                  std::tie(m_entries[i].place.section, m_entries[i].place.offset, m_entries[i].place.length));
    }
    ASSERT_FALSE(std::is_sorted(listed.begin(), listed.end(), before)) << "the file no longer tests anything";

    const ExtractionPlan plan = FullPlan(true);
    ASSERT_EQ(plan.reads.size(), listed.size());
    for (std::size_t i = 0; i < plan.order.size(); ++i) {
        EXPECT_EQ(plan.reads[i].offset, listed[plan.order[i]].offset);
        EXPECT_EQ(plan.reads[i].length, listed[plan.order[i]].length);
    }
    EXPECT_TRUE(std::is_sorted(plan.reads.begin(), plan.reads.end(), before));
}

} // namespace
