// Character references (&amp; &#233; &#x20AC;) as HTML decodes them in text and in attribute values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::html {

enum class ReferenceContext { Text, AttributeValue };

// `text` starts with the '&'. Appends what the reference there stands for to `out` and returns how
// many bytes of `text` it took; returns 0 and appends nothing when the ampersand starts no
// reference and is itself text.
std::size_t AppendCharacterReference(std::string& out, std::string_view text, ReferenceContext context);

void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace tarnwick::html
