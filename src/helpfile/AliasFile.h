// "#IVB": the context numbers of the project's [MAP] with the file each one opens ([ALIAS]). The
// names the author gave the numbers are not kept in the help file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarnwick::helpfile {

struct ContextAlias {
    std::uint32_t id = 0;
    std::string file; // in the help file's code page
};

struct AliasFile {
    std::vector<ContextAlias> aliases;
    std::vector<std::string> damage; // in English, one line each
};

// Reads the pairs (number, "#STRINGS" offset of the file) the length field announces, as far as
// the bytes go.
AliasFile ReadAliasFile(std::span<const std::uint8_t> ivb, std::span<const std::uint8_t> strings);

} // namespace tarnwick::helpfile
