// Texts of a help file, kept in its code page, made readable: wide text for the console and the
// window, from which UTF-8 for JSON follows; and the way back, for the project files a help
// compiler reads in that code page. Windows converts with its own tables, other systems with iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::helpfile {

inline constexpr unsigned kUtf8CodePage = 65001;

// Bytes that are not text in `codePage` become U+FFFD, so every text converts; a code page the
// system cannot convert from is read as Windows-1252.
std::wstring WideFromCodePage(std::string_view text, unsigned codePage);

// The same in UTF-8 (and UTF-8 made well-formed the same way), converted a piece at a time where the
// code page allows: a sitemap or page of many megabytes is not held as wide text beside its bytes.
std::string Utf8FromCodePage(std::string_view text, unsigned codePage);

// Nothing when a byte of `text` is not part of a character of `codePage`.
std::optional<std::wstring> WideFromCodePageStrictly(std::string_view text, unsigned codePage);

// Whether the system can convert from and to `codePage`.
bool IsKnownCodePage(unsigned codePage);

// The code page the help compiler of this system reads its project files in: the ANSI code page on
// Windows; elsewhere UTF-8, in which the system names its files.
unsigned SystemCodePage();

// Nothing when the system cannot convert to `codePage` or a character has no form in it: a
// stand-in character would name another file or keyword.
std::optional<std::string> CodePageFromUtf16(std::u16string_view text, unsigned codePage);

} // namespace tarnwick::helpfile
