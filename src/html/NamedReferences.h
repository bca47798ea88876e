// The table of named character references: 2,231 names, those that browsers accept without a
// semicolon listed both with and without one.
#pragma once

#include <span>
#include <string_view>

namespace tarnwick::html {

struct NamedReference {
    std::string_view name;         // without the '&', with the ';' where the table has one
    std::string_view replacement;  // UTF-8, one or two code points
};

std::span<const NamedReference> NamedReferenceTable();

// The longest name in the table that `text` starts with (text starts after the '&'), or nullptr.
const NamedReference* LongestNamedReference(std::string_view text);

} // namespace tarnwick::html
