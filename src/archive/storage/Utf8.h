// Conversions between the container's UTF-8 names and the component's wide text
// (UTF-16 on Windows, UTF-32 elsewhere).
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::storage {

// Ill-formed sequences become U+FFFD, one per offending byte, so every name converts.
std::wstring WideFromUtf8(std::string_view text);

// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view text);

} // namespace tarnwick::storage
