// A list that keeps its rows in memory: the window's list where there is no window (the tests, the
// engine's fuzz target, the fill benchmark).
#pragma once

#include "engine/ListControl.h"

#include <array>
#include <string>
#include <vector>

struct CMemoryRow {
    std::array<std::wstring, 4> cells; // name, size, type, internal path
    int image = 0;
    std::intptr_t itemData = 0;
};

class CMemoryList final : public IListControl {
public:
    int GetRowCount() const override { return static_cast<int>(m_rows.size()); }
    int InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData) override;
    void SetCellText(int row, int column, const wchar_t* text) override;
    void SetRedraw(bool redraw) override { m_redraw = redraw; }
    void RepaintNow() override;

    const std::vector<CMemoryRow>& Rows() const { return m_rows; }
    void Clear() { m_rows.clear(); }
    // Row counts at which the list was painted while drawing was on.
    const std::vector<int>& Repaints() const { return m_repaints; }

private:
    std::vector<CMemoryRow> m_rows;
    std::vector<int> m_repaints;
    bool m_redraw = true;
};
