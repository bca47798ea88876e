#include "cli/PrintedList.h"

#include "cli/Console.h"

namespace {

constexpr std::size_t kOutputChunk = 1 << 15;

} // namespace

void CPrintedList::Write(const tarnwick::helpfile::WalkedStream& stream, const std::wstring& type)
{
    m_output.append(stream.name).append(1, L'\t');
    m_output.append(std::to_wstring(stream.size)).append(1, L'\t');
    m_output.append(type).append(1, L'\t');
    m_output.append(stream.folder).append(1, L'\n');
    if (m_output.size() >= kOutputChunk) {
        Print(ConsoleStream::Out, m_output);
        m_output.clear();
    }
}

void CPrintedList::Finish()
{
    Print(ConsoleStream::Out, m_output);
    m_output.clear();
}
