// Copies a table's entries out to a folder in the order of their data, decoding ahead on spare
// threads and writing files behind the reads on one of them: the unpack of the command line, of
// the project and of the fuzz targets. The window keeps its own run, row by row as it is shown.
#pragma once

#include "engine/ChmEngine.h"
#include "helpfile/EntryTable.h"

#include <cstddef>
#include <string>
#include <vector>

struct UnpackSettings {
    bool usePaths = true;
    unsigned decodeThreads = 1; // 1: the caller's thread decodes, none ahead of it
    bool writeBehind = false;   // files are created and written on a thread of their own
};

// What varies between callers: what they show, and when the run stops.
class UnpackObserver {
public:
    virtual ~UnpackObserver() = default;
    // Before entry `index` is copied, `done` entries in; false ends the run before it.
    virtual bool Starting(std::size_t done, std::size_t index) = 0;
    // After the copy of `index` returned: false when its stream could not be read or, without a
    // writer thread, its file not written.
    virtual void Copied(std::size_t, bool) {}
};

// The entries that could not be unpacked, each once, in the table's order.
std::vector<std::size_t> UnpackEntries(CChmEngine& engine, const tarnwick::helpfile::EntryTable& entries,
                                       const std::wstring& destination, const UnpackSettings& settings,
                                       UnpackObserver& observer);
