#include "html/VisibleText.h"

#include <algorithm>
#include <array>

namespace tarnwick::html {

namespace {

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// Every tag of every page is looked up: names of another length are told apart without reading
// them. The tables are in this order.
constexpr bool ShorterOrBefore(std::string_view a, std::string_view b) { return a.size() != b.size() ? a.size() < b.size() : a < b; }

template <std::size_t N>
bool IsOneOf(std::string_view name, const std::array<std::string_view, N>& names)
{
    return std::binary_search(names.begin(), names.end(), name, ShorterOrBefore);
}

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
    static constexpr std::array<std::string_view, 6> kNames = {"style", "title", "iframe", "script", "noembed", "noframes"};
    static_assert(std::is_sorted(kNames.begin(), kNames.end(), ShorterOrBefore));
    return IsOneOf(element, kNames);
}

// The elements whose start tag closes an open paragraph, with br, the table's rows and cells and
// textarea. textarea, pre and listing also because the tree builder drops a line break right after
// their start tag: with a break there anyway, that makes no difference to the text.
bool BreaksText(std::string_view element)
{
    static constexpr std::array<std::string_view, 47> kNames = {
        "p", "br", "dd", "dl", "dt", "h1", "h2", "h3", "h4", "h5", "h6", "hr", "li", "ol", "td", "th", "tr",
        "ul", "dir", "div", "nav", "pre", "xmp", "body", "form", "main", "menu", "aside", "table", "center",
        "dialog", "figure", "footer", "header", "hgroup", "address", "article", "caption", "details",
        "listing", "section", "summary", "fieldset", "textarea", "plaintext", "blockquote", "figcaption"};
    static_assert(std::is_sorted(kNames.begin(), kNames.end(), ShorterOrBefore));
    return IsOneOf(element, kNames);
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
