// Letter case as HTML and CSS compare their keywords: ASCII only, whatever else the text holds.
#pragma once

#include <algorithm>
#include <string_view>

namespace tarnwick::html {

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lowerWord)
{
    return text.size() == lowerWord.size() &&
           std::equal(text.begin(), text.end(), lowerWord.begin(), [](char a, char b) { return AsciiLower(a) == b; });
}

} // namespace tarnwick::html
