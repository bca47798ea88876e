// What the engine needs of the list that receives its rows: the window's list
// view on Windows, an in-memory list for the tests.
#pragma once

#include <cstdint>

class IListControl {
public:
    virtual ~IListControl() = default;
    virtual int GetRowCount() const = 0;
    // Returns the index the row got. Texts are NUL-terminated, as the list view takes them.
    virtual int InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData) = 0;
    virtual void SetCellText(int row, int column, const wchar_t* text) = 0;
    virtual void SetRedraw(bool redraw) = 0;
    // Paints what the list holds now, while drawing is on.
    virtual void RepaintNow() = 0;
};
