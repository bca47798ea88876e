#include "cli/JsonList.h"

#include "cli/Console.h"


namespace {

constexpr std::size_t kOutputChunk = 1 << 15;

} // namespace

CJsonList::CJsonList()
{
    m_json.BeginObject();
    m_json.Key("streams");
    m_json.BeginArray();
}

void CJsonList::Write(const tarnwick::helpfile::WalkedStream& stream, const std::wstring& type)
{
    m_json.BeginObject();
    m_json.Key("name");
    m_json.String(stream.name);
    m_json.Key("size");
    m_json.Number(stream.size);
    m_json.Key("type");
    m_json.String(type);
    m_json.Key("path");
    m_json.String(stream.folder);
    m_json.EndObject();
    m_output += m_json.Take();
    if (m_output.size() >= kOutputChunk) {
        PrintUtf8(ConsoleStream::Out, m_output);
        m_output.clear();
    }
}

void CJsonList::Finish()
{
    m_json.EndArray();
    m_json.EndObject();
    m_output += m_json.Take();
    PrintUtf8(ConsoleStream::Out, m_output);
    m_output.clear();
}
