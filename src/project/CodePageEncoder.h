// Texts the help file keeps in UTF-16 (keywords) or that the engine holds as wide strings (stream
// names), in the ANSI code page the help compiler reads its project files in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::project {

// Nothing when the code page is unknown here or a character has no form in it: a stand-in
// character would name another keyword or file.
std::optional<std::string> TextInCodePage(std::u16string_view text, std::uint32_t codePage);

std::u16string Utf16FromWide(std::wstring_view text);

} // namespace tarnwick::project
