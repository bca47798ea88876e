// The flat directory of a help file: every entry of every listing chunk.
#pragma once

#include "storage/ByteSource.h"
#include "storage/ItsfHeader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick::storage {

struct DirectoryEntry {
    std::string name; // UTF-8, as stored: "/dir/file.htm", "/dir/", "::DataSpace/..."
    std::uint64_t section = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// Hands `take` the entries in chunk order, one at a time so that the directory is never
// held whole. Every chunk with the listing signature is read, whatever the header names
// as the first one, because some compilers name the wrong chunk. A damaged chunk loses
// only the entries from the damage on.
void ReadDirectory(const ByteSource& file, const ItsfLayout& layout,
                   const std::function<void(const DirectoryEntry&)>& take);

} // namespace tarnwick::storage
