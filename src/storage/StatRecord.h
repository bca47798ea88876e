// STATSTG records for the component's elements.
#pragma once

#include "storage/ComTypes.h"
#include "storage/DirectoryTree.h"

namespace tarnwick::storage {

// Fills `record`; the name, unless STATFLAG_NONAME, is allocated with
// CoTaskMemAlloc for the caller to free.
HRESULT FillStatRecord(const DirectoryTree& tree, std::uint32_t index, STATSTG& record, DWORD flags);

} // namespace tarnwick::storage
