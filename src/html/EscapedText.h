// Text written into HTML: as content, or as an attribute value in double quotes.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::html {

void AppendEscaped(std::string& html, std::string_view text);

} // namespace tarnwick::html
