// Reads one of the files a help compiler keeps beside the topics ("#SYSTEM", "$WWKeywordLinks/BTree"):
// the facts, contents and index that the help file keeps about itself.
#pragma once

#include "storage/ITStorage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tarnwick::helpfile {

// The whole file at `path` ("/"-separated below `root`), or nothing when it is missing, longer
// than `limit` or cannot be read whole. The limit keeps a damaged size from deciding an allocation.
std::optional<std::vector<std::uint8_t>> ReadInternalFile(IStorage* root, std::wstring_view path, std::size_t limit);

// Whether a file name from the help file's own texts names one of its streams, read as
// ReferencedPaths says, in any letter case.
bool NamesStream(IStorage* root, std::wstring_view reference);

} // namespace tarnwick::helpfile
