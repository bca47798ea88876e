// JSON for scripts, written as UTF-8: texts are the tool's wide text, so a name outside the Basic
// Multilingual Plane (a surrogate pair on Windows) becomes its one four-byte sequence.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CJsonWriter {
public:
    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // Keys are the tool's own ASCII names.
    void Key(std::string_view key);

    void String(std::wstring_view text);
    void Number(std::uint64_t value);
    void Number(double value);
    void Bool(bool value);
    void Null();

    // The text written so far, which the writer then forgets: long documents go out in pieces.
    std::string Take();

private:
    void Open(char bracket);
    void Close(char bracket);
    void BeforeValue();

    std::string m_text;
    std::vector<bool> m_firstInContainer;
    bool m_afterKey = false;
};

// `text` as a JSON string, quotes included.
std::string JsonQuoted(std::wstring_view text);
