// Reads every stream of a help file, the "#" and "$" ones included, in the order of its data, and
// keeps what is wrong with each one that does not read whole: what `tarnwick-cli test` reports.
#pragma once

#include "helpfile/EntryTable.h"
#include "storage/ITStorage.h"

#include <cstddef>
#include <functional>
#include <vector>

struct DamagedStream {
    std::size_t index = 0;        // into the table
    DamageReport damage;          // why it could not be read, as the storage tells it
    bool sizeDiffers = false;     // it read, but not as many bytes as listed
};

struct IntegrityReport {
    std::vector<DamagedStream> damaged; // in the table's order
    ULONG sectionState = 0;             // the kSection... bits of the compressed section
    bool stopped = false;               // the caller stopped it before the last entry
};

// Reads every entry of `entries` (a table of all the streams); `reading` is told each one's index
// before it is read, with the count read so far, and returns false to stop the check there.
IntegrityReport CheckIntegrity(const tarnwick::helpfile::EntryTable& entries, unsigned threads,
                               const std::function<bool(std::size_t done, std::size_t index)>& reading);
