// The index a help compiler keeps in binary form: the keyword B-tree "$WWKeywordLinks/BTree",
// whose listing blocks hold every keyword in order with the topics it leads to.
#pragma once

#include "helpfile/TopicTable.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarnwick::helpfile {

struct KeywordEntry {
    std::size_t depth = 0;   // 0 for a keyword, 1 for a sub-keyword under the one before it
    std::u16string keyword;  // as shown at its depth: a sub-keyword without its parent's text
    std::u16string seeAlso;  // the keyword this one refers to instead of topics; empty when none
    std::vector<Topic> topics;
};

struct KeywordIndex {
    std::vector<KeywordEntry> entries; // in the index's order
    std::uint32_t codePage = 0;        // the one the compiler wrote the index for; 0 when unknown
    std::vector<std::string> damage;   // what could not be read, in English, one line each
};

// Reads the listing blocks in order; a block or an entry that runs past what was read, a topic
// that cannot be resolved or a count larger than its block is reported and left out.
KeywordIndex ReadKeywordIndex(std::span<const std::uint8_t> btree, const TopicFiles& files);

} // namespace tarnwick::helpfile
