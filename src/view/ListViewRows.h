// The engine's walk writing its rows straight into the view's list control, noting the longest
// text of one column on the way.
#pragma once

#include "engine/ListControl.h"
#include "framework/ListViewControl.h"

#include <cwchar>
#include <string>

class CListViewRows final : public IListControl {
public:
    explicit CListViewRows(CListViewControl list, int measuredColumn = -1) : m_list(list), m_measuredColumn(measuredColumn)
    {
    }

    int GetRowCount() const override { return m_list.GetItemCount(); }
    int InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData) override
    {
        return m_list.InsertItem(index, text, image, itemData);
    }
    void SetCellText(int row, int column, const wchar_t* text) override
    {
        m_list.SetItemText(row, column, text);
        if (column == m_measuredColumn && std::wcslen(text) > m_longest.size()) m_longest = text;
    }
    void SetRedraw(bool redraw) override { m_list.SetRedraw(redraw); }
    void RepaintNow() override { m_list.RedrawNow(); }

    const std::wstring& LongestText() const { return m_longest; }

private:
    CListViewControl m_list;
    int m_measuredColumn;
    std::wstring m_longest;
};
