#include "framework/ResourceText.h"

std::wstring LoadResourceString(UINT id)
{
    // With a zero length LoadStringW hands back a pointer into the resource itself.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return std::wstring(text, static_cast<std::size_t>(length));
}

std::wstring CommandStringPart(UINT id, int part)
{
    const std::wstring text = LoadResourceString(id);
    std::size_t start = 0;
    for (int skipped = 0; skipped < part; ++skipped) {
        start = text.find(L'\n', start);
        if (start == std::wstring::npos) return {};
        ++start;
    }
    return text.substr(start, text.find(L'\n', start) - start);
}

std::wstring FormatWithArgument(const std::wstring& pattern, const std::wstring& argument)
{
    std::wstring text;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.compare(at, 2, L"%1") == 0) {
            text += argument;
            ++at;
        } else {
            text += pattern[at];
        }
    }
    return text;
}
