// The index behind the exported site's search box. Pages open from disk, where a browser fetches
// no file, so the index is a script the search page loads with <script src>: one global,
// tarnwickSearch, and SearchScript() (search.js) reads it.
#pragma once

#include "base/StringHash.h"
#include "export/PageTerms.h"
#include "export/PieceSink.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwick::exporting {

class SearchIndex {
public:
    // A page, numbered in the order pages are added; its title and text come when it is read.
    std::uint32_t AddPage(std::string_view url);
    // Files the page under the terms of its title and of its visible text (UTF-8), which is not
    // kept: an export of thousands of pages holds only each term's page numbers. The page keeps
    // its first title that is not empty.
    void AddText(std::uint32_t page, std::string_view title, std::string_view visibleText);
    // The same with the terms gathered beforehand, from the same title.
    void AddTerms(std::uint32_t page, std::string_view title, const PageTerms& terms);

    // search-index.js: var tarnwickSearch={pages:[[title,url],...],terms:[[term,[page,...]],...]};
    // Terms in code point order, which JavaScript's string comparison keeps for the basic plane
    // the terms are made of, so the search finds the terms of a prefix by bisection. Only ASCII
    // is written (the rest as \u escapes), so the file reads alike in a page of any encoding.
    std::string Script() const;
    // The same handed to `sink` in pieces as it is made: the script of a large help file runs to
    // megabytes.
    void Script(const PieceSink& sink) const;

private:
    void File(std::string_view term, std::uint32_t page);

    struct Page {
        std::string title;
        std::string url;
    };
    // A term's pages as they were filed, a million of them in a large help file: each as its
    // difference from the one before, which is small as pages come nearly in order, in 7 bits a
    // byte. The difference is signed, as threads file their pages a little out of order.
    class PageList {
    public:
        void Add(std::uint32_t page);
        // In order, each once.
        void SortedInto(std::vector<std::uint32_t>& pages) const;

    private:
        std::string m_bytes;
        std::uint32_t m_last = 0;
    };

    std::vector<Page> m_pages;
    // Looked up by the text of each word as it is read.
    std::unordered_map<std::string, PageList, StringHash, std::equal_to<>> m_pagesOfTerm;
};

// search.js: defines tarnwickSearchInto(input, output), which lists the pages of what is typed
// into `input` in `output` as links into the frame "topic", and tarnwickSearchFind(query), the
// page numbers. Its splitting of the query writes in the tables of SearchTerms.h.
std::string SearchScript();

} // namespace tarnwick::exporting
