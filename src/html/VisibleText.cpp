#include "html/VisibleText.h"

#include <algorithm>
#include <array>

namespace tarnwick::html {

namespace {

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// The tables are in alphabetical order: every tag of every page is looked up.
template <std::size_t N>
bool IsOneOf(std::string_view name, const std::array<std::string_view, N>& names)
{
    return std::binary_search(names.begin(), names.end(), name);
}

std::string CollapseWhitespace(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    bool pendingSpace = false;
    for (const char c : raw) {
        if (IsAsciiSpace(c)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) out += ' ';
        pendingSpace = false;
        out += c;
    }
    return out;
}

} // namespace

bool HidesItsText(std::string_view element)
{
    static constexpr std::array<std::string_view, 6> kNames = {"iframe", "noembed", "noframes", "script", "style", "title"};
    return IsOneOf(element, kNames);
}

// The elements whose start tag closes an open paragraph, with br, the table's rows and cells and
// textarea. textarea, pre and listing also because the tree builder drops a line break right after
// their start tag: with a break there anyway, that makes no difference to the text.
bool BreaksText(std::string_view element)
{
    static constexpr std::array<std::string_view, 47> kNames = {
        "address", "article", "aside", "blockquote", "body", "br", "caption", "center", "dd", "details",
        "dialog", "dir", "div", "dl", "dt", "fieldset", "figcaption", "figure", "footer", "form", "h1", "h2",
        "h3", "h4", "h5", "h6", "header", "hgroup", "hr", "li", "listing", "main", "menu", "nav", "ol", "p",
        "plaintext", "pre", "section", "summary", "table", "td", "textarea", "th", "tr", "ul", "xmp"};
    return IsOneOf(element, kNames);
}

void VisibleTextBuilder::Take(const Token& token)
{
    const bool isTag = token.kind == TokenKind::StartTag || token.kind == TokenKind::EndTag;
    if (isTag && BreaksText(token.name)) m_raw += ' ';
    // Hidden text is the one text token right after its element's start tag: these elements'
    // content is raw text, which only their own end tag ends.
    if (token.kind == TokenKind::Text && !m_afterHidingTag)
        std::copy_if(token.data.begin(), token.data.end(), std::back_inserter(m_raw), [](char c) { return c != '\0'; });
    m_afterHidingTag = token.kind == TokenKind::StartTag && HidesItsText(token.name);
}

std::string VisibleTextBuilder::Finish() { return CollapseWhitespace(m_raw); }

std::string VisibleText(const std::vector<Token>& tokens)
{
    VisibleTextBuilder text;
    for (const Token& token : tokens) text.Take(token);
    return text.Finish();
}

} // namespace tarnwick::html
