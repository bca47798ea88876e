// Where the parts of a help file lie, from its ITSF and ITSP headers.
#pragma once

#include "storage/ByteSource.h"

#include <cstdint>
#include <optional>

namespace tarnwick::storage {

struct ItsfLayout {
    std::uint64_t contentOffset = 0;  // start of content section 0
    std::uint64_t chunksOffset = 0;   // first directory chunk
    std::uint32_t chunkSize = 0;
    std::uint32_t chunkCount = 0;     // only chunks that lie wholly inside the file
};

// Nothing when the file is not a help file or its directory lies outside it.
// Fields that real compilers get wrong and that cannot lead outside the file
// (the GUIDs, the first listing chunk, the index depth) are not relied on.
std::optional<ItsfLayout> ReadItsfLayout(const ByteSource& file);

} // namespace tarnwick::storage
