// Where unpacking with folders writes an entry, relative to the target folder: the file an
// exported link must point at.
#pragma once

#include "helpfile/EntryTable.h"

#include <cstddef>
#include <string>

namespace tarnwick::exporting {

// "/"-separated UTF-8, each level made safe as unpacking makes it (engine/SafeName.h).
std::string OutputPath(const helpfile::EntryTable& entries, std::size_t entry);

} // namespace tarnwick::exporting
