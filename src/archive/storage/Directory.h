// The flat directory of a help file: every entry of every listing chunk.
#pragma once

#include "ByteSource.h"
#include "ItsfHeader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::storage {

struct DirectoryEntry {
    std::string name; // UTF-8, as stored: "/dir/file.htm", "/dir/", "::DataSpace/..."
    std::uint64_t section = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// Entries in chunk order. Every chunk with the listing signature is read, whatever
// the header names as the first one, because some compilers name the wrong chunk.
// A damaged chunk loses only the entries from the damage on.
std::vector<DirectoryEntry> ReadDirectory(const ByteSource& file, const ItsfLayout& layout);

} // namespace tarnwick::storage
