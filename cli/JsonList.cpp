#include "JsonList.h"

#include "Console.h"
#include "Utf8.h"

#include <cwchar>

namespace {

constexpr std::size_t kOutputChunk = 1 << 15;

void PrintUtf8(const std::string& text) { Print(ConsoleStream::Out, tarnwick::storage::WideFromUtf8(text)); }

bool IsDecimal(const std::wstring& text)
{
    return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

} // namespace

CJsonList::CJsonList()
{
    m_json.BeginObject();
    m_json.Key("streams");
    m_json.BeginArray();
}

void CJsonList::WriteRow(const Cells& cells)
{
    m_json.BeginObject();
    m_json.Key("name");
    m_json.String(cells[0]);
    m_json.Key("size");
    // The engine writes the size in decimal digits; a number in JSON keeps all 64 bits of it.
    if (IsDecimal(cells[1]))
        m_json.Number(static_cast<std::uint64_t>(std::wcstoull(cells[1].c_str(), nullptr, 10)));
    else
        m_json.Null();
    m_json.Key("type");
    m_json.String(cells[2]);
    m_json.Key("path");
    m_json.String(cells[3]);
    m_json.EndObject();
    m_output += m_json.Take();
    if (m_output.size() >= kOutputChunk) {
        PrintUtf8(m_output);
        m_output.clear();
    }
}

void CJsonList::Finish()
{
    EndRow();
    m_json.EndArray();
    m_json.EndObject();
    m_output += m_json.Take();
    PrintUtf8(m_output);
    m_output.clear();
}
