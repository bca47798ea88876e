// Rows written to standard output as the walk makes them, one line each:
// name, size, type and internal path separated by tabs. Listing keeps no rows.
#pragma once

#include "ListControl.h"

#include <array>
#include <string>

class CPrintedList final : public IListControl {
public:
    int GetRowCount() const override { return m_rowCount; }
    int InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData) override;
    void SetCellText(int row, int column, const wchar_t* text) override;
    void SetRedraw(bool) override {}
    void RepaintNow() override {}

    // Writes out the last row and whatever is still buffered.
    void Finish();

private:
    void EndRow();

    std::array<std::wstring, 4> m_cells;
    std::wstring m_output;
    int m_rowCount = 0;
    bool m_rowOpen = false;
};
