// The table of contents a help compiler keeps in binary form ("#TOCIDX"), for help files whose
// contents file was not stored as it was written.
#pragma once

#include "helpfile/TopicTable.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarnwick::helpfile {

struct ContentsEntry {
    std::size_t depth = 0;    // 0 for the top level
    std::string name;         // in the help file's code page
    std::string local;        // empty for a heading without a page of its own
    std::string url;
    bool hasChildren = false; // a book: the entries that follow at depth + 1 are inside it
};

struct ContentsTree {
    std::vector<ContentsEntry> entries; // in the order the contents show them
    std::vector<std::string> damage;    // what could not be read, in English, one line each
};

// Walks the entries from the first top-level one, each at most once; a link that points outside
// the bytes, back to an entry already read, or to a topic that cannot be resolved is reported and
// not followed.
ContentsTree ReadContentsTree(std::span<const std::uint8_t> tocIndex, const TopicFiles& files);

} // namespace tarnwick::helpfile
