#include "app/ColumnStretch.h"

#include <commctrl.h>

namespace {

// The contents list's columns: name, size, type, path.
constexpr int kNameColumn = 0;
constexpr int kPathColumn = 3;
constexpr int kColumnCount = 4;

int ColumnsWidth(HWND list)
{
    int width = 0;
    for (int column = 0; column < kColumnCount; ++column) width += ListView_GetColumnWidth(list, column);
    return width;
}

} // namespace

void CColumnStretch::OnFrameSized(HWND list, bool maximised)
{
    if (!list) return;
    if (!maximised) {
        if (!m_beforeMaximising) return;
        ListView_SetColumnWidth(list, kNameColumn, m_beforeMaximising->name);
        ListView_SetColumnWidth(list, kPathColumn, m_beforeMaximising->path);
        m_beforeMaximising.reset();
        return;
    }
    if (m_beforeMaximising) return;
    RECT client{};
    GetClientRect(list, &client);
    const int extra = client.right - ColumnsWidth(list);
    if (extra <= 0) return;
    const Widths before{ListView_GetColumnWidth(list, kNameColumn), ListView_GetColumnWidth(list, kPathColumn)};
    m_beforeMaximising = before;
    ListView_SetColumnWidth(list, kNameColumn, before.name + extra / 2);
    ListView_SetColumnWidth(list, kPathColumn, before.path + extra - extra / 2);
}
