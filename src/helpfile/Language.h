// The languages a help file names by LCID, and the ANSI code page its texts are then written in:
// the help compiler writes every text of the file in the code page of the project's language.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarnwick::helpfile {

struct Language {
    std::uint32_t lcid = 0;
    std::string_view tag;   // "zh-CN"
    std::wstring_view name; // in the tool's own language: "中文(简体, 中国)"
    unsigned codePage = 0;  // 936
};

// Nothing for an LCID outside the table: the caller shows it as unknown.
std::optional<Language> FindLanguage(std::uint32_t lcid);

// The code page a file's texts are read in when its language is unknown or missing: the help
// compiler then used the system's, most often Western European.
inline constexpr unsigned kFallbackCodePage = 1252;

} // namespace tarnwick::helpfile
