// Sorting the rows of a real list control: the order of each column, and rows that move whole.
#include "TestList.h"
#include "view/ColumnSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

using Texts = std::vector<std::wstring>;

TEST(CompareAnsiText, OrdersByCodeInTheAnsiCodePageAndKeepsDoubleBytesWhole)
{
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_LT(CompareAnsiText("ABC", "abc"), 0);
    EXPECT_LT(CompareAnsiText("9z", "a"), 0);
    EXPECT_LT(CompareAnsiText("ab", "abc"), 0);
    EXPECT_EQ(CompareAnsiText("same", "same"), 0);
    // Every double-byte character comes after every single-byte one, even DEL.
    EXPECT_GT(CompareAnsiText(ToAnsiText(L"中"), "\x7f"), 0);
    EXPECT_LT(CompareAnsiText(ToAnsiText(L"一"), ToAnsiText(L"中")), 0); // D2BB before D6D0
    // A lead byte at the end counts as the end; a trail byte with a backslash's value is its lead's.
    EXPECT_EQ(CompareAnsiText("a\x81", "a"), 0);
    EXPECT_LT(CompareAnsiText("a\x81", "a!"), 0);
    EXPECT_GT(CompareAnsiText("\x81\x5c", "\x81\x40"), 0);
    EXPECT_GT(CompareAnsiText("\x81\x40", "\\"), 0);
}

TEST(ColumnSort, NamesByCodeInBothDirectionsWithWholeRowsMoving)
{
    TestList list;
    list.Add({L"b.htm", L"1", L"HTML 文档", L"html\\", 0, 10});
    list.Add({L"中文.htm", L"2", L"HTML 文档", L"", 1, 11});
    list.Add({L"B.htm", L"3", L"", L"a\\b\\", 2, 12});
    list.Add({L"2.gif", L"4", L"GIF 图像", L"images\\", 3, 13});
    list.Add({L"a.htm", L"5", L"HTML 文档", L"", 4, 14});
    list.Add({L"10.gif", L"6", L"GIF 图像", L"images\\", 5, 15});
    // Texts longer than any buffer a first read would use.
    list.Add({std::wstring(300, L'z') + L".htm", L"7", L"", std::wstring(400, L'p'), 6, 16});

    EXPECT_TRUE(CColumnSort(list.Control()).SortByText(0, true, 0, -1));
    EXPECT_EQ(list.Column(0), (Texts{L"10.gif", L"2.gif", L"B.htm", L"a.htm", L"b.htm", std::wstring(300, L'z') + L".htm", L"中文.htm"}));
    EXPECT_EQ(list.ItemData(), (std::vector<std::intptr_t>{5, 3, 2, 4, 0, 6, 1}));
    EXPECT_EQ(list.Row(5).path, std::wstring(400, L'p'));
    const TestRow moved = list.Row(2);
    EXPECT_EQ(std::make_tuple(moved.size, moved.type, moved.path, moved.image),
              std::make_tuple(std::wstring(L"3"), std::wstring(), std::wstring(L"a\\b\\"), 12));

    EXPECT_TRUE(CColumnSort(list.Control()).SortByText(0, false, 0, -1));
    EXPECT_EQ(list.Column(0), (Texts{L"中文.htm", std::wstring(300, L'z') + L".htm", L"b.htm", L"a.htm", L"B.htm", L"2.gif", L"10.gif"}));
}

TEST(ColumnSort, SizesByNumberIncludingValuesAboveTwoToThe31)
{
    TestList list;
    const Texts sizes{L"100", L"4294967296", L"99", L"2147483648", L"9", L"0", L"18446744073709551615", L"3000000000"};
    for (std::size_t index = 0; index < sizes.size(); ++index) list.Add({L"n", sizes[index], L"", L"", 0, 0});
    EXPECT_TRUE(CColumnSort(list.Control()).SortByNumber(1, true, 0, -1));
    Texts ascending{L"0", L"9", L"99", L"100", L"2147483648", L"3000000000", L"4294967296", L"18446744073709551615"};
    EXPECT_EQ(list.Column(1), ascending);
    EXPECT_TRUE(CColumnSort(list.Control()).SortByNumber(1, false, 0, -1));
    std::reverse(ascending.begin(), ascending.end());
    EXPECT_EQ(list.Column(1), ascending);
}

TEST(ColumnSort, SelectionAndFocusMoveWithTheirRowsAndEqualRowsStay)
{
    TestList list;
    list.AddNamed({L"d", L"c", L"b", L"a", L"e"});
    list.SetState(0, LVIS_SELECTED, LVIS_SELECTED);                              // d
    list.SetState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); // a
    CColumnSort(list.Control()).SortByText(0, true, 0, -1);
    ASSERT_EQ(list.Column(0), (Texts{L"a", L"b", L"c", L"d", L"e"}));
    EXPECT_EQ(list.State(0, LVIS_SELECTED | LVIS_FOCUSED), UINT(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(list.State(3, LVIS_SELECTED | LVIS_FOCUSED), UINT(LVIS_SELECTED));
    EXPECT_EQ(ListView_GetSelectedCount(list.Control().GetSafeHwnd()), 2u);

    // Rows with equal keys are never exchanged.
    TestList same;
    same.AddNamed({L"x", L"x", L"x", L"x"});
    CColumnSort(same.Control()).SortByText(0, true, 0, -1);
    EXPECT_EQ(same.ItemData(), (std::vector<std::intptr_t>{0, 1, 2, 3}));
}
