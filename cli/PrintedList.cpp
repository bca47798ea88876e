#include "cli/PrintedList.h"

#include "base/Utf8.h"
#include "cli/Console.h"

#include <charconv>

namespace {

constexpr std::size_t kOutputChunk = 1 << 16;

} // namespace

void CPrintedList::Write(const tarnwick::helpfile::WalkedStream& stream, const std::wstring& type)
{
    tarnwick::AppendUtf8(m_output, stream.name);
    m_output += '\t';
    char digits[20];
    m_output.append(digits, std::to_chars(digits, digits + sizeof digits, stream.size).ptr);
    m_output += '\t';
    AppendConverted(m_type, type);
    m_output += '\t';
    AppendConverted(m_folder, stream.folder);
    m_output += '\n';
    if (m_output.size() >= kOutputChunk) {
        PrintUtf8(ConsoleStream::Out, m_output);
        m_output.clear();
    }
}

void CPrintedList::AppendConverted(ConvertedText& converted, const std::wstring& text)
{
    if (text != converted.wide) {
        converted.wide = text;
        converted.utf8 = tarnwick::Utf8FromWide(text);
    }
    m_output += converted.utf8;
}

void CPrintedList::Finish()
{
    PrintUtf8(ConsoleStream::Out, m_output);
    m_output.clear();
}
