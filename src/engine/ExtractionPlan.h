// The order in which to copy many streams out of a help file.
#pragma once

#include "helpfile/EntryTable.h"
#include "storage/ITStorage.h"

#include <cstddef>
#include <vector>

struct ExtractionPlan {
    std::vector<std::size_t> order;
    std::vector<StreamPlace> reads; // where the entries' data lies, in that order
};

// The entries' indexes in the order of the file's data (by content section and offset), so that a
// compressed frame is decoded once however the directory is ordered. Entries whose targets are the
// same file keep their listing order, one after the other, so that the same one wins as in listing
// order; when a target file is also the folder of another target, the listing order itself is
// kept, as which of the two gets made then depends on the order.
ExtractionPlan PlanExtraction(const tarnwick::helpfile::EntryTable& entries, bool usePaths);

// Lets the file's storage component decode the plan's reads ahead on up to `threads` threads.
void AnnounceReads(IStorage* storage, const ExtractionPlan& plan, unsigned threads);
