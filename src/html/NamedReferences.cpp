#include "html/NamedReferences.h"

#include <algorithm>
#include <array>

namespace tarnwick::html {

namespace {

constexpr NamedReference kTable[] = {
#include "html/NamedReferenceTable.inc"
};

unsigned char ByteAt(std::string_view text, std::size_t index)
{
    return static_cast<unsigned char>(text[index]);
}

constexpr const NamedReference* EntryOf(std::string_view name)
{
    return std::find_if(std::begin(kTable), std::end(kTable), [name](const NamedReference& entry) { return entry.name == name; });
}

// Nearly every reference in help pages is one of these, found here without a search. A name that
// ends in its semicolon starts no longer name, so each is the longest match wherever it is found.
constexpr std::array<const NamedReference*, 5> kCommon = {EntryOf("nbsp;"), EntryOf("lt;"), EntryOf("gt;"),
                                                          EntryOf("amp;"), EntryOf("quot;")};
static_assert(std::find(kCommon.begin(), kCommon.end(), std::end(kTable)) == kCommon.end());

} // namespace

std::span<const NamedReference> NamedReferenceTable()
{
    return kTable;
}

// Narrows the sorted table one character at a time to the names that start with what has been
// read so far; within that run a name of exactly that length sorts first. So the search stops at
// the first character no name continues with, after at most one pass over the longest name.
const NamedReference* LongestNamedReference(std::string_view text)
{
    for (const NamedReference* common : kCommon)
        if (text.starts_with(common->name)) return common;
    const NamedReference* first = std::begin(kTable);
    const NamedReference* last = std::end(kTable);
    const NamedReference* longest = nullptr;
    for (std::size_t k = 0; k < text.size() && first != last; ++k) {
        const unsigned char wanted = ByteAt(text, k);
        first = std::partition_point(first, last, [&](const NamedReference& entry) {
            return entry.name.size() <= k || ByteAt(entry.name, k) < wanted;
        });
        last = std::partition_point(first, last, [&](const NamedReference& entry) {
            return ByteAt(entry.name, k) == wanted;
        });
        if (first != last && first->name.size() == k + 1) longest = first;
    }
    return longest;
}

} // namespace tarnwick::html
