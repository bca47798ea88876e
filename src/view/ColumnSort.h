// Sorting the contents list by one column, in place: whole rows (texts, icon,
// item data, state) change places inside the control, so a row's item data stays
// with its stream and the selection stays on the rows the user chose.
#pragma once

#include "framework/ListViewControl.h"

#include <string>
#include <string_view>

// Compares two texts of the ANSI code page character by character, a
// double-byte character's code being lead × 256 + trail; a lead byte with
// nothing after it counts as the end. Case-sensitive, no locale collation.
int CompareAnsiText(std::string_view left, std::string_view right);

// The text in the ANSI code page, as the name column is compared. The second
// form writes into `ansi`, reusing its storage.
std::string ToAnsiText(std::wstring_view text);
void ToAnsiText(std::wstring_view text, std::string& ansi);

class CColumnSort {
public:
    explicit CColumnSort(CListViewControl list);

    // `high` -1 means the last row. False when nothing was sorted: a column the
    // header does not have, or fewer than two rows in the range.
    bool SortByNumber(int column, bool ascending, int low, int high);
    bool SortByText(int column, bool ascending, int low, int high);

    // A header click: ascending, unless `lastAscendingColumn` is this column.
    // Returns what the view keeps as its last ascending column (-1 after a
    // descending sort).
    static int SortOnHeaderClick(CListViewControl list, int column, int lastAscendingColumn);

private:
    CListViewControl m_list;
};
