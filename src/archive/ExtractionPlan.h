// The order in which to copy many streams out of a help file.
#pragma once

#include "ComTypes.h"
#include "ITStorage.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct ExtractionRow {
    IStorage* parent = nullptr;
    std::wstring internalPath; // "a\b\", empty for the root
    std::wstring name;
};

struct ExtractionPlan {
    std::vector<std::size_t> order;
    std::vector<StreamPlace> reads; // where the rows' data lies, in that order
};

// The row numbers 0..count-1 in the order of the file's data (by content section and offset), so
// that a compressed frame is decoded once however the directory is ordered. Rows whose targets are
// the same file keep their listing order, one after the other, so that the same one wins as in
// listing order; when a target file is also the folder of another target, the listing order itself
// is kept, as which of the two gets made then depends on the order. `rowAt` is asked for each
// row once, so that the caller need not hold every name at once.
ExtractionPlan PlanExtraction(std::size_t count, const std::function<ExtractionRow(std::size_t)>& rowAt,
                              bool usePaths);

// Lets the file's storage component decode the plan's reads ahead on up to `threads` threads.
void AnnounceReads(IStorage* storage, const ExtractionPlan& plan, unsigned threads);
