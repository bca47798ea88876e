#include "PrintedList.h"

#include "Console.h"

namespace {

constexpr std::size_t kOutputChunk = 1 << 15;

} // namespace

void CPrintedList::WriteRow(const Cells& cells)
{
    for (std::size_t column = 0; column < cells.size(); ++column) {
        m_output += cells[column];
        m_output += column + 1 < cells.size() ? L'\t' : L'\n';
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
