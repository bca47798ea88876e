// Texts of a help file, kept in its code page, made readable: wide text for the console and the
// window, from which UTF-8 for JSON follows. Windows converts with its own tables, other systems
// with iconv.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::helpfile {

// Bytes that are not text in `codePage` become U+FFFD, so every text converts; a code page the
// system cannot convert from is read as Windows-1252.
std::wstring WideFromCodePage(std::string_view text, unsigned codePage);

} // namespace tarnwick::helpfile
