// The engine's walk writing its rows straight into the view's list control.
#pragma once

#include "ListControl.h"
#include "ListViewControl.h"

class CListViewRows final : public IListControl {
public:
    explicit CListViewRows(CListViewControl list) : m_list(list) {}

    int GetRowCount() const override { return m_list.GetItemCount(); }
    int InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData) override
    {
        return m_list.InsertItem(index, text, image, itemData);
    }
    void SetCellText(int row, int column, const wchar_t* text) override { m_list.SetItemText(row, column, text); }
    void SetRedraw(bool redraw) override { m_list.SetRedraw(redraw); }
    void RepaintNow() override { m_list.RedrawNow(); }

private:
    CListViewControl m_list;
};
