#include "cli/JsonWriter.h"

#include "base/Utf8.h"

#include <cmath>
#include <cstdio>

std::string JsonQuoted(std::wstring_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string utf8 = tarnwick::Utf8FromWide(text);
    std::string out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

void CJsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_firstInContainer.empty()) return;
    if (!m_firstInContainer.back()) m_text += ',';
    m_firstInContainer.back() = false;
}

void CJsonWriter::Open(char bracket)
{
    BeforeValue();
    m_text += bracket;
    m_firstInContainer.push_back(true);
}

void CJsonWriter::Close(char bracket)
{
    m_text += bracket;
    m_firstInContainer.pop_back();
    if (m_firstInContainer.empty()) m_text += '\n';
}

void CJsonWriter::Key(std::string_view key)
{
    BeforeValue();
    m_text += '"';
    m_text += key;
    m_text += "\":";
    m_afterKey = true;
}

void CJsonWriter::String(std::wstring_view text)
{
    BeforeValue();
    m_text += JsonQuoted(text);
}

void CJsonWriter::Number(std::uint64_t value)
{
    BeforeValue();
    m_text += std::to_string(value);
}

void CJsonWriter::Number(double value)
{
    BeforeValue();
    if (!std::isfinite(value)) {
        m_text += "null"; // JSON has no infinity
        return;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    m_text += buffer;
}

void CJsonWriter::Bool(bool value)
{
    BeforeValue();
    m_text += value ? "true" : "false";
}

void CJsonWriter::Null()
{
    BeforeValue();
    m_text += "null";
}

std::string CJsonWriter::Take()
{
    std::string text;
    text.swap(m_text);
    return text;
}
