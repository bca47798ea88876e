// Rows written to standard output as one JSON document, as the walk makes them:
// {"streams":[{"name":..,"size":..,"type":..,"path":..},...]}. Like the text listing it keeps no rows.
#pragma once

#include "JsonWriter.h"
#include "ListControl.h"

#include <array>
#include <string>

class CJsonList final : public IListControl {
public:
    CJsonList();

    int GetRowCount() const override { return m_rowCount; }
    int InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData) override;
    void SetCellText(int row, int column, const wchar_t* text) override;
    void SetRedraw(bool) override {}
    void RepaintNow() override {}

    // Writes out the last row and closes the document.
    void Finish();

private:
    void EndRow();

    std::array<std::wstring, 4> m_cells;
    CJsonWriter m_json;
    std::string m_output;
    int m_rowCount = 0;
    bool m_rowOpen = false;
};
