// The words a search of the exported site looks for. The page's index (SearchIndex) and the
// browser's script (SearchScript) split text by the same tables, so a word typed into the search
// box becomes the terms its pages were filed under.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::exporting {

enum class CharKind { Separator, Word, Cjk };

// A block of code points of one kind; code points in no range are Word. Only the basic plane is
// read: past it (emoji, rare ideographs) everything separates, as the browser's UTF-16 halves do.
struct CharRange {
    char32_t first;
    char32_t last;
    CharKind kind;
};

// Upper-case letters with a fixed distance to their lower-case forms; with everyOther, only
// every second code point from first is upper case (the alternating pairs of Latin Extended-A).
struct CaseRange {
    char32_t first;
    char32_t last;
    int toLower;
    bool everyOther;
};

std::span<const CharRange> SearchCharRanges();
std::span<const CaseRange> SearchCaseRanges();

// Each term of `text` (UTF-8) in order, repeats included: a run of word characters lower-cased
// (fullwidth ASCII read as ASCII; a single ASCII character is no word), and in a run of Chinese,
// Japanese or Korean characters, which have no spaces between words, every two neighbours, or
// the character itself when it stands alone.
void ForEachSearchTerm(std::string_view text, const std::function<void(std::string_view)>& take);
std::vector<std::string> SearchTerms(std::string_view text);

} // namespace tarnwick::exporting
