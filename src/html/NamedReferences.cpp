#include "html/NamedReferences.h"

#include <algorithm>

namespace tarnwick::html {

namespace {

constexpr NamedReference kTable[] = {
#include "html/NamedReferenceTable.inc"
};

unsigned char ByteAt(std::string_view text, std::size_t index)
{
    return static_cast<unsigned char>(text[index]);
}

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
