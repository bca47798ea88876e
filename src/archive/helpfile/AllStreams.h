// Every stream of a help file, the "#" and "$" ones included, as its storages list them: what a
// report on the whole file walks, where the listing skips the help compiler's own files.
#pragma once

#include "ComRef.h"
#include "ITStorage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::helpfile {

struct StreamEntry {
    storage::ComRef<IStorage> parent;
    std::wstring internalPath; // "a\b\", empty for the root
    std::wstring name;
    std::uint64_t size = 0;
    bool internal = false; // a "#" or "$" name, or below one
};

struct StreamWalk {
    std::vector<StreamEntry> streams;
    bool cut = false; // storages nested deeper than the walk goes were left out
};

StreamWalk AllStreams(IStorage* root);

} // namespace tarnwick::helpfile
