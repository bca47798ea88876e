#include "export/SearchIndex.h"

#include "base/Utf8.h"

#include <algorithm>
#include <charconv>

namespace tarnwick::exporting {
namespace {

void AppendNumber(std::string& out, std::uint32_t number)
{
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

void AppendUnitEscape(std::string& out, char32_t unit)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

// Past the ASCII controls, everything is escaped: U+2028 and U+2029 end a line in JavaScript
// before ES2019, and the file's encoding never matters.
void AppendCharEscape(std::string& out, char32_t c)
{
    if (c <= 0xFFFF) return AppendUnitEscape(out, c);
    AppendUnitEscape(out, 0xD800 + ((c - 0x10000) >> 10));
    AppendUnitEscape(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
}

// "</" becomes "<\/" so that the text could also stand inside a <script> element.
void AppendJsString(std::string& out, std::string_view text)
{
    out += '"';
    for (std::size_t pos = 0; pos < text.size();) {
        const bool afterLess = pos > 0 && text[pos - 1] == '<';
        const char32_t c = DecodeUtf8At(text, pos);
        if (c == '"' || c == '\\' || (c == '/' && afterLess)) out += '\\';
        if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
            AppendCharEscape(out, c);
    }
    out += '"';
}

void AppendPageList(std::string& out, const std::vector<std::uint32_t>& sorted)
{
    out += '[';
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0) out += ',';
        AppendNumber(out, sorted[i]);
    }
    out += ']';
}

} // namespace

void SearchIndex::PageList::Add(std::uint32_t page)
{
    const std::int64_t difference = std::int64_t(page) - m_last;
    // Zigzag: a small difference either way is a small number.
    std::uint64_t value = difference < 0 ? (std::uint64_t(-difference) << 1) - 1 : std::uint64_t(difference) << 1;
    for (; value >= 0x80; value >>= 7) m_bytes += static_cast<char>(0x80 | (value & 0x7F));
    m_bytes += static_cast<char>(value);
    m_last = page;
}

void SearchIndex::PageList::SortedInto(std::vector<std::uint32_t>& pages) const
{
    pages.clear();
    std::int64_t page = 0;
    std::uint64_t value = 0;
    int shift = 0;
    for (const char c : m_bytes) {
        value |= std::uint64_t(static_cast<unsigned char>(c) & 0x7F) << shift;
        shift += 7;
        if (static_cast<unsigned char>(c) & 0x80) continue;
        page += (value & 1) ? -std::int64_t((value + 1) >> 1) : std::int64_t(value >> 1);
        pages.push_back(static_cast<std::uint32_t>(page));
        value = 0;
        shift = 0;
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
}

std::uint32_t SearchIndex::AddPage(std::string_view url)
{
    m_pages.push_back({{}, std::string(url)});
    return static_cast<std::uint32_t>(m_pages.size() - 1);
}

void SearchIndex::AddText(std::uint32_t page, std::string_view title, std::string_view visibleText)
{
    PageTerms terms;
    terms.Gather(title, visibleText);
    AddTerms(page, title, terms);
}

void SearchIndex::AddTerms(std::uint32_t page, std::string_view title, const PageTerms& terms)
{
    if (m_pages[page].title.empty()) m_pages[page].title = title;
    for (std::size_t i = 0; i < terms.Count(); ++i) File(terms.At(i), page);
}

// Pages come in any order, each page's terms once: each term's pages are put in order when the
// script is written.
void SearchIndex::File(std::string_view term, std::uint32_t page)
{
    auto found = m_pagesOfTerm.find(term);
    if (found == m_pagesOfTerm.end()) found = m_pagesOfTerm.emplace(std::string(term), PageList()).first;
    found->second.Add(page);
}

std::string SearchIndex::Script() const
{
    std::string script;
    Script([&script](std::string_view piece) { script += piece; });
    return script;
}

void SearchIndex::Script(const PieceSink& sink) const
{
    std::vector<const std::pair<const std::string, PageList>*> terms;
    terms.reserve(m_pagesOfTerm.size());
    for (const auto& entry : m_pagesOfTerm) terms.push_back(&entry);
    std::sort(terms.begin(), terms.end(), [](const auto* a, const auto* b) { return a->first < b->first; });

    std::string out = "var tarnwickSearch={pages:[";
    const auto passOn = [&] {
        if (out.size() < kPieceBytes) return;
        sink(out);
        out.clear();
    };
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        out += i > 0 ? ",\n[" : "\n[";
        AppendJsString(out, m_pages[i].title);
        out += ',';
        AppendJsString(out, m_pages[i].url);
        out += ']';
        passOn();
    }
    out += "],\nterms:[";
    std::vector<std::uint32_t> sorted; // kept from one term to the next
    for (std::size_t i = 0; i < terms.size(); ++i) {
        out += i > 0 ? ",\n[" : "\n[";
        AppendJsString(out, terms[i]->first);
        out += ',';
        terms[i]->second.SortedInto(sorted);
        AppendPageList(out, sorted);
        out += ']';
        passOn();
    }
    out += "]};\n";
    sink(out);
}

} // namespace tarnwick::exporting
