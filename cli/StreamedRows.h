// Rows handed on one by one as the walk makes them, so that listing keeps no rows: each output
// form writes a finished row its own way.
#pragma once

#include "ListControl.h"

#include <array>
#include <string>

class CStreamedRows : public IListControl {
public:
    int GetRowCount() const override { return m_rowCount; }
    int InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData) override;
    void SetCellText(int row, int column, const wchar_t* text) override;
    void SetRedraw(bool) override {}
    void RepaintNow() override {}

protected:
    // Name, size, type and internal path.
    using Cells = std::array<std::wstring, 4>;
    virtual void WriteRow(const Cells& cells) = 0;
    // Hands on the last row; each output form's Finish starts with it.
    void EndRow();

private:
    Cells m_cells;
    int m_rowCount = 0;
    bool m_rowOpen = false;
};
