// The distinct search terms of one page. Gathering them needs no index, so each rewriting thread
// gathers its own pages' terms and the shared SearchIndex is held only to file each term once:
// a page repeats most of its words, and a look-up in an index of a whole help file's terms is a
// trip to memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::exporting {

class PageTerms {
public:
    // The terms of `title` and `visibleText` (UTF-8), each once, in the order first met; the last
    // page's terms are forgotten, but not the memory they took.
    void Gather(std::string_view title, std::string_view visibleText);

    std::size_t Count() const { return m_terms.size(); }
    std::string_view At(std::size_t index) const;

private:
    struct Term {
        std::size_t begin; // in m_bytes
        std::size_t size;
        std::size_t slot;
    };

    void Add(std::string_view term);
    std::size_t FreeSlotOrMatch(std::string_view term) const;
    void Grow();

    std::string m_bytes;
    std::vector<Term> m_terms;
    // Open addressing: 1 + a term's index, 0 where none is; a power of two in size, at most half full.
    std::vector<std::size_t> m_slots = std::vector<std::size_t>(64);
};

} // namespace tarnwick::exporting
