#include "html/VisibleText.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tarnwick::html {

namespace {

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// A set of lower-case element names in which a name is looked up in one step, by its length and
// first letter: every tag of every page is looked up. The names come sorted by length, then
// alphabetically, so that the names of a length and first letter stand together.
template <std::size_t N>
class NameSet {
    static_assert(N < 256, "places are kept in bytes");

public:
    consteval explicit NameSet(const std::array<std::string_view, N>& names) : m_names(names)
    {
        for (std::size_t i = 0; i < N; ++i) {
            const std::size_t group = GroupOf(names[i]);
            if (group == kNoGroup || (m_end[group] != 0 && m_end[group] != i)) throw "names out of order, or not lower-case";
            if (m_end[group] == 0) m_begin[group] = static_cast<std::uint8_t>(i);
            m_end[group] = static_cast<std::uint8_t>(i + 1);
        }
    }

    bool Contains(std::string_view name) const
    {
        const std::size_t group = GroupOf(name);
        if (group == kNoGroup) return false;
        for (std::size_t i = m_begin[group]; i < m_end[group]; ++i)
            if (std::equal(name.begin(), name.end(), m_names[i].begin(), m_names[i].end())) return true;
        return false;
    }

private:
    static constexpr std::size_t kLongest = 11;
    static constexpr std::size_t kLetters = 26;
    static constexpr std::size_t kGroups = (kLongest + 1) * kLetters;
    static constexpr std::size_t kNoGroup = kGroups;

    static constexpr std::size_t GroupOf(std::string_view name)
    {
        if (name.empty() || name.size() > kLongest || name[0] < 'a' || name[0] > 'z') return kNoGroup;
        return name.size() * kLetters + static_cast<std::size_t>(name[0] - 'a');
    }

    std::array<std::string_view, N> m_names;
    std::array<std::uint8_t, kGroups> m_begin{};
    std::array<std::uint8_t, kGroups> m_end{};
};

// A word at a time: the text of a large page is megabytes.
std::string CollapseWhitespace(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        const std::size_t spaces = i;
        while (i < raw.size() && IsAsciiSpace(raw[i])) ++i;
        if (i == raw.size()) break;
        if (i > spaces && !out.empty()) out += ' ';
        const std::size_t word = i;
        while (i < raw.size() && !IsAsciiSpace(raw[i])) ++i;
        out.append(raw.substr(word, i - word));
    }
    return out;
}

} // namespace

bool HidesItsText(std::string_view element)
{
    static constexpr NameSet kNames(std::array<std::string_view, 6>{"style", "title", "iframe", "script", "noembed", "noframes"});
    return kNames.Contains(element);
}

// The elements whose start tag closes an open paragraph, with br, the table's rows and cells and
// textarea. textarea, pre and listing also because the tree builder drops a line break right after
// their start tag: with a break there anyway, that makes no difference to the text.
bool BreaksText(std::string_view element)
{
    static constexpr NameSet kNames(std::array<std::string_view, 47>{
        "p", "br", "dd", "dl", "dt", "h1", "h2", "h3", "h4", "h5", "h6", "hr", "li", "ol", "td", "th", "tr",
        "ul", "dir", "div", "nav", "pre", "xmp", "body", "form", "main", "menu", "aside", "table", "center",
        "dialog", "figure", "footer", "header", "hgroup", "address", "article", "caption", "details",
        "listing", "section", "summary", "fieldset", "textarea", "plaintext", "blockquote", "figcaption"});
    return kNames.Contains(element);
}

void VisibleTextBuilder::Take(const Token& token)
{
    const bool isTag = token.kind == TokenKind::StartTag || token.kind == TokenKind::EndTag;
    if (isTag && BreaksText(token.name)) m_raw += ' ';
    // Hidden text is the one text token right after its element's start tag: these elements'
    // content is raw text, which only their own end tag ends.
    if (token.kind == TokenKind::Text && !m_afterHidingTag) AppendWithoutNul(token.data);
    m_afterHidingTag = token.kind == TokenKind::StartTag && HidesItsText(token.name);
}

void VisibleTextBuilder::AppendWithoutNul(std::string_view text)
{
    for (std::size_t nul = text.find('\0'); nul != std::string_view::npos; nul = text.find('\0')) {
        m_raw.append(text.substr(0, nul));
        text.remove_prefix(nul + 1);
    }
    m_raw.append(text);
}

std::string VisibleTextBuilder::Finish() { return CollapseWhitespace(m_raw); }

std::string VisibleText(const std::vector<Token>& tokens)
{
    VisibleTextBuilder text;
    for (const Token& token : tokens) text.Take(token);
    return text.Finish();
}

} // namespace tarnwick::html
