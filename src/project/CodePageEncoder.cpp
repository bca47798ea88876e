#include "project/CodePageEncoder.h"

#include "helpfile/CodePageText.h"

namespace tarnwick::project {

namespace {

bool IsAscii(std::u16string_view text)
{
    for (const char16_t unit : text)
        if (unit >= 0x80) return false;
    return true;
}

} // namespace

std::optional<std::string> TextInCodePage(std::u16string_view text, std::uint32_t codePage)
{
    // Every ANSI code page a help file can be written in keeps ASCII as it is.
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    if (codePage == 0) return std::nullopt;
    return helpfile::CodePageFromUtf16(text, codePage);
}

std::u16string Utf16FromWide(std::wstring_view text)
{
    std::u16string units;
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return units;
}

} // namespace tarnwick::project
