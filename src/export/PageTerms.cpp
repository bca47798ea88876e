#include "export/PageTerms.h"

#include "base/StringHash.h"
#include "export/SearchTerms.h"

namespace tarnwick::exporting {

void PageTerms::Gather(std::string_view title, std::string_view visibleText)
{
    for (const Term& term : m_terms) m_slots[term.slot] = 0;
    m_terms.clear();
    m_bytes.clear();
    const auto add = [this](std::string_view term) { Add(term); };
    ForEachSearchTerm(title, add);
    ForEachSearchTerm(visibleText, add);
}

std::string_view PageTerms::At(std::size_t index) const
{
    const Term& term = m_terms[index];
    return std::string_view(m_bytes).substr(term.begin, term.size);
}

void PageTerms::Add(std::string_view term)
{
    std::size_t slot = FreeSlotOrMatch(term);
    if (m_slots[slot] != 0) return;
    if ((m_terms.size() + 1) * 2 > m_slots.size()) {
        Grow();
        slot = FreeSlotOrMatch(term);
    }
    m_terms.push_back({m_bytes.size(), term.size(), slot});
    m_bytes += term;
    m_slots[slot] = m_terms.size();
}

std::size_t PageTerms::FreeSlotOrMatch(std::string_view term) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = StringHash()(term) & mask;
    while (m_slots[slot] != 0 && At(m_slots[slot] - 1) != term) slot = (slot + 1) & mask;
    return slot;
}

void PageTerms::Grow()
{
    m_slots.assign(m_slots.size() * 2, 0);
    for (std::size_t i = 0; i < m_terms.size(); ++i) {
        Term& term = m_terms[i];
        term.slot = FreeSlotOrMatch(At(i));
        m_slots[term.slot] = i + 1;
    }
}

} // namespace tarnwick::exporting
