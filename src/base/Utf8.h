// Conversions between the container's UTF-8 names and the component's wide text
// (UTF-16 on Windows, UTF-32 elsewhere).
#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// Ill-formed sequences become U+FFFD, one per offending byte, so every name converts.
std::wstring WideFromUtf8(std::string_view text);
// The same, written at `out`, which has room for text.size() units; returns how many it wrote.
std::size_t WideFromUtf8(std::string_view text, wchar_t* out);

// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
// The same, appended to `out`: for output built from many small texts.
void AppendUtf8(std::string& out, std::wstring_view text);

// The code point at text[pos], moving pos past it; an ill-formed sequence is U+FFFD for its first
// byte alone, as in WideFromUtf8. For readers that look at each character, such as search terms.
char32_t DecodeUtf8At(std::string_view text, std::size_t& pos);
// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendCodePoint(std::string& out, char32_t cp);

// Every byte below 0x80: text that reads alike in UTF-8 and every code page a help file uses.
bool IsAscii(std::string_view text);

// No ill-formed sequence: what WideFromUtf8 would read without a replacement of its own.
bool IsWellFormedUtf8(std::string_view text);

// A file name of a POSIX system is bytes, most often but not always UTF-8. Each byte that is not
// part of well-formed UTF-8 becomes the lone surrogate U+DC00 + byte (U+DC80 to U+DCFF), which no
// well-formed text holds, and comes back as that byte: every name the system can hold survives the wide form.
std::wstring WideFromFileName(std::string_view bytes);
std::string FileNameFromWide(std::wstring_view text);

} // namespace tarnwick
