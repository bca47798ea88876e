// A page's bytes as UTF-8, decoded the way a browser picks the encoding of a local file: a byte
// order mark, else a <meta> charset declaration in the first 1024 bytes, else Windows-1252.
#pragma once

#include <string>
#include <string_view>

std::string DeclaredCharset(std::string_view page);
std::string PageAsUtf8(std::string_view page);
