#include "PrintedList.h"

#include "Console.h"

namespace {

constexpr std::size_t kOutputChunk = 1 << 15;

} // namespace

int CPrintedList::InsertRow(int, const wchar_t* text, int, std::intptr_t)
{
    EndRow();
    m_cells[0] = text;
    for (std::size_t column = 1; column < m_cells.size(); ++column) m_cells[column].clear();
    m_rowOpen = true;
    return m_rowCount++;
}

void CPrintedList::SetCellText(int row, int column, const wchar_t* text)
{
    if (m_rowOpen && row == m_rowCount - 1 && column > 0 && column < static_cast<int>(m_cells.size()))
        m_cells[static_cast<std::size_t>(column)] = text;
}

void CPrintedList::EndRow()
{
    if (!m_rowOpen) return;
    m_rowOpen = false;
    for (std::size_t column = 0; column < m_cells.size(); ++column) {
        m_output += m_cells[column];
        m_output += column + 1 < m_cells.size() ? L'\t' : L'\n';
    }
    if (m_output.size() >= kOutputChunk) {
        Print(ConsoleStream::Out, m_output);
        m_output.clear();
    }
}

void CPrintedList::Finish()
{
    EndRow();
    Print(ConsoleStream::Out, m_output);
    m_output.clear();
}
