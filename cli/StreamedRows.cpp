#include "StreamedRows.h"

int CStreamedRows::InsertRow(int, const wchar_t* text, int, std::intptr_t)
{
    EndRow();
    m_cells[0] = text;
    for (std::size_t column = 1; column < m_cells.size(); ++column) m_cells[column].clear();
    m_rowOpen = true;
    return m_rowCount++;
}

void CStreamedRows::SetCellText(int row, int column, const wchar_t* text)
{
    if (m_rowOpen && row == m_rowCount - 1 && column > 0 && column < static_cast<int>(m_cells.size()))
        m_cells[static_cast<std::size_t>(column)] = text;
}

void CStreamedRows::EndRow()
{
    if (!m_rowOpen) return;
    m_rowOpen = false;
    WriteRow(m_cells);
}
