#include "engine/MemoryList.h"

#include <algorithm>

int CMemoryList::InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData)
{
    index = std::clamp(index, 0, GetRowCount());
    CMemoryRow row;
    row.cells[0] = text;
    row.image = image;
    row.itemData = itemData;
    m_rows.insert(m_rows.begin() + index, std::move(row));
    return index;
}

void CMemoryList::SetCellText(int row, int column, const wchar_t* text)
{
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= 4) return;
    m_rows[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)] = text;
}

void CMemoryList::RepaintNow()
{
    if (m_redraw) m_repaints.push_back(GetRowCount());
}
