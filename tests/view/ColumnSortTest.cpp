#include "ColumnSort.h"
#include "TestList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>
#include <utility>

namespace {

std::vector<std::wstring> Sizes(std::initializer_list<const wchar_t*> texts)
{
    return {texts.begin(), texts.end()};
}

void AddSizes(TestList& list, const std::vector<std::wstring>& sizes)
{
    for (std::size_t index = 0; index < sizes.size(); ++index)
        list.Add({L"n" + std::to_wstring(index), sizes[index], L"", L"", static_cast<std::intptr_t>(index), 0});
}

} // namespace

TEST(CompareAnsiText, OrdersByCodeInTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_LT(CompareAnsiText("ABC", "abc"), 0);
    EXPECT_LT(CompareAnsiText("Z", "a"), 0);
    EXPECT_LT(CompareAnsiText("9z", "a"), 0);
    EXPECT_LT(CompareAnsiText("ab", "abc"), 0);
    EXPECT_GT(CompareAnsiText("abc", "ab"), 0);
    EXPECT_EQ(CompareAnsiText("same", "same"), 0);
    EXPECT_EQ(CompareAnsiText("", ""), 0);
    // Every double-byte character comes after every single-byte one, even DEL.
    EXPECT_GT(CompareAnsiText(ToAnsiText(L"中"), "\x7f"), 0);
    EXPECT_LT(CompareAnsiText(ToAnsiText(L"一"), ToAnsiText(L"中")), 0); // D2BB before D6D0
}

TEST(CompareAnsiText, ALeadByteAtTheEndCountsAsTheEnd)
{
    EXPECT_EQ(CompareAnsiText("a\x81", "a"), 0);
    EXPECT_LT(CompareAnsiText("a\x81", "a!"), 0);
}

TEST(CompareAnsiText, TrailBytesAreComparedWithTheirLead)
{
    // 0x815C: a trail byte with the value of a backslash belongs to its lead byte.
    EXPECT_GT(CompareAnsiText("\x81\x5c", "\x81\x40"), 0);
    EXPECT_GT(CompareAnsiText("\x81\x40", "\\"), 0);
}

TEST(ColumnSort, NamesAscendingByCodeWithWholeRowsMoving)
{
    TestList list;
    list.Add({L"b.htm", L"1", L"HTML 文档", L"html\\", 0, 10});
    list.Add({L"中文.htm", L"2", L"HTML 文档", L"", 1, 11});
    list.Add({L"B.htm", L"3", L"", L"a\\b\\", 2, 12});
    list.Add({L"2.gif", L"4", L"GIF 图像", L"images\\", 3, 13});
    list.Add({L"a.htm", L"5", L"HTML 文档", L"", 4, 14});
    list.Add({L"10.gif", L"6", L"GIF 图像", L"images\\", 5, 15});
    list.Add({L"Z.css", L"7", L"", L"", 6, 16});

    EXPECT_TRUE(CColumnSort(list.Control()).SortByText(0, true, 0, -1));

    EXPECT_EQ(list.Column(0),
              (std::vector<std::wstring>{L"10.gif", L"2.gif", L"B.htm", L"Z.css", L"a.htm", L"b.htm", L"中文.htm"}));
    const TestRow moved = list.Row(2);
    EXPECT_EQ(moved.size, L"3");
    EXPECT_EQ(moved.type, L"");
    EXPECT_EQ(moved.path, L"a\\b\\");
    EXPECT_EQ(moved.itemData, 2);
    EXPECT_EQ(moved.image, 12);
    EXPECT_EQ(list.ItemData(), (std::vector<std::intptr_t>{5, 3, 2, 6, 4, 0, 1}));
}

TEST(ColumnSort, NamesDescending)
{
    TestList list;
    list.AddNamed({L"b", L"中", L"A", L"1"});
    EXPECT_TRUE(CColumnSort(list.Control()).SortByText(0, false, 0, -1));
    EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"中", L"b", L"A", L"1"}));
}

TEST(ColumnSort, SizesByNumberIncludingValuesAboveTwoToThe31)
{
    TestList list;
    AddSizes(list, Sizes({L"100", L"4294967296", L"99", L"2147483648", L"9", L"0", L"2147483647",
                          L"18446744073709551615", L"3000000000"}));

    EXPECT_TRUE(CColumnSort(list.Control()).SortByNumber(1, true, 0, -1));
    EXPECT_EQ(list.Column(1), Sizes({L"0", L"9", L"99", L"100", L"2147483647", L"2147483648", L"3000000000",
                                     L"4294967296", L"18446744073709551615"}));

    EXPECT_TRUE(CColumnSort(list.Control()).SortByNumber(1, false, 0, -1));
    EXPECT_EQ(list.Column(1), Sizes({L"18446744073709551615", L"4294967296", L"3000000000", L"2147483648",
                                     L"2147483647", L"100", L"99", L"9", L"0"}));
}

TEST(ColumnSort, SelectionAndFocusMoveWithTheirRows)
{
    TestList list;
    list.AddNamed({L"d", L"c", L"b", L"a", L"e"});
    list.SetState(0, LVIS_SELECTED, LVIS_SELECTED);                // d
    list.SetState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); // a

    CColumnSort(list.Control()).SortByText(0, true, 0, -1);

    ASSERT_EQ(list.Column(0), (std::vector<std::wstring>{L"a", L"b", L"c", L"d", L"e"}));
    EXPECT_EQ(list.State(0, LVIS_SELECTED | LVIS_FOCUSED), UINT(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(list.State(3, LVIS_SELECTED | LVIS_FOCUSED), UINT(LVIS_SELECTED));
    for (int row : {1, 2, 4}) EXPECT_EQ(list.State(row, LVIS_SELECTED | LVIS_FOCUSED), 0u) << row;
    EXPECT_EQ(ListView_GetSelectedCount(list.Control().GetSafeHwnd()), 2u);
}

TEST(ColumnSort, NothingToSortLeavesTheListAlone)
{
    TestList list;
    CColumnSort sort(list.Control());
    EXPECT_FALSE(sort.SortByText(0, true, 0, -1));
    list.AddNamed({L"b"});
    EXPECT_FALSE(sort.SortByText(0, true, 0, -1));
    list.AddNamed({L"a"});
    EXPECT_FALSE(sort.SortByText(4, true, 0, -1));
    EXPECT_FALSE(sort.SortByText(0, true, 1, 1));
    EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"b", L"a"}));
}

TEST(ColumnSort, SortsOnlyTheGivenRange)
{
    TestList list;
    list.AddNamed({L"z", L"d", L"c", L"b", L"a"});
    EXPECT_TRUE(CColumnSort(list.Control()).SortByText(0, true, 1, 3));
    EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"z", L"b", L"c", L"d", L"a"}));
}

TEST(ColumnSort, HeaderClicksAlternateOnOneColumn)
{
    TestList list;
    list.AddNamed({L"b", L"c", L"a"});
    const CListViewControl control = list.Control();

    int last = CColumnSort::SortOnHeaderClick(control, 0, -1);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    last = CColumnSort::SortOnHeaderClick(control, 0, last);
    EXPECT_EQ(last, -1);
    EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"c", L"b", L"a"}));
    last = CColumnSort::SortOnHeaderClick(control, 0, last);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(CColumnSort::SortOnHeaderClick(control, 3, last), 3);
}

TEST(ColumnSort, HeaderClicksOnAnEmptyListStillAlternate)
{
    TestList list;
    EXPECT_EQ(CColumnSort::SortOnHeaderClick(list.Control(), 1, -1), 1);
    EXPECT_EQ(CColumnSort::SortOnHeaderClick(list.Control(), 1, 1), -1);
    EXPECT_EQ(list.Control().GetItemCount(), 0);
}

// Rows keep all their contents whichever column orders them, also texts
// longer than any buffer a first read would use.
TEST(ColumnSort, ManyEqualKeysEndGroupedWithEveryRowWhole)
{
    TestList list;
    std::mt19937 random(7);
    const wchar_t* types[] = {L"HTML 文档", L"GIF 图像", L"", L"层叠样式表文档"};
    using WholeRow = std::tuple<std::wstring, std::wstring, std::wstring, std::wstring, std::intptr_t, int>;
    std::multiset<WholeRow> before;
    for (int row = 0; row < 600; ++row) {
        const std::wstring name = std::wstring(row % 50 == 0 ? 300 : 1, L'n') + std::to_wstring(random() % 100);
        const std::wstring path = std::wstring(row % 70 == 0 ? 400 : 1, L'p') + L"\\";
        const TestRow added{name, std::to_wstring(random() % 3), types[random() % 4], path, row, row % 5};
        list.Add(added);
        before.insert({added.name, added.size, added.type, added.path, added.itemData, added.image});
    }

    for (const int column : {2, 0, 3, 1}) {
        if (column == 1)
            CColumnSort(list.Control()).SortByNumber(column, true, 0, -1);
        else
            CColumnSort(list.Control()).SortByText(column, true, 0, -1);

        const std::vector<std::wstring> sorted = list.Column(column);
        EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), [&](const std::wstring& a, const std::wstring& b) {
            return column == 1 ? std::stoull(a) < std::stoull(b) : CompareAnsiText(ToAnsiText(a), ToAnsiText(b)) < 0;
        })) << "column " << column;
        std::multiset<WholeRow> after;
        for (int row = 0; row < 600; ++row) {
            const TestRow now = list.Row(row);
            after.insert({now.name, now.size, now.type, now.path, now.itemData, now.image});
        }
        EXPECT_EQ(after, before) << "column " << column;
    }
}
