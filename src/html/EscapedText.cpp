#include "html/EscapedText.h"

namespace tarnwick::html {

void AppendEscaped(std::string& html, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '"': html += "&quot;"; break;
        default: html += c;
        }
    }
}

} // namespace tarnwick::html
