#include "export/PageRewriter.h"

#include "base/Utf8.h"
#include "export/PageCharset.h"
#include "helpfile/CodePageText.h"
#include "html/CssUrls.h"
#include "html/Links.h"
#include "html/VisibleText.h"

#include <algorithm>

namespace tarnwick::exporting {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf8Meta = "<meta charset=\"utf-8\">";

struct Edit {
    html::ByteRange range; // empty: an insertion at range.begin
    std::string replacement;
};

std::string Applied(std::string_view text, std::vector<Edit>& edits)
{
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.range.begin < b.range.begin; });
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t at = 0;
    for (const Edit& edit : edits) {
        if (edit.range.begin < at) continue; // overlaps one already made
        out.append(text.substr(at, edit.range.begin - at));
        out += edit.replacement;
        at = edit.range.end;
    }
    out.append(text.substr(at));
    return out;
}

// The code page of the page's first declaration, if this system converts it.
std::optional<unsigned> DeclaredCodePage(std::string_view bytes)
{
    std::optional<CharsetDeclaration> first;
    html::TokenizeEach(bytes, [&](html::Token&& token) {
        if (!first) first = CharsetDeclarationOf(token);
    });
    if (!first || !first->codePage) return std::nullopt;
    const unsigned codePage = *first->codePage;
    if (codePage != helpfile::kUtf8CodePage && !helpfile::IsKnownCodePage(codePage)) return std::nullopt;
    return codePage;
}

// Collects what the page's tokens ask to change, one token at a time.
class PageEdits {
public:
    PageEdits(LinkCache& links, std::size_t entry, std::string_view page, RewrittenPage& result)
        : m_links(links), m_entry(entry), m_page(page), m_result(result)
    {
    }

    void Take(const html::Token& token)
    {
        m_text.Take(token);
        if (m_inTitle && token.kind == html::TokenKind::Text && m_result.title.empty())
            m_result.title = html::VisibleText({token});
        if (m_inStyleElement && token.kind == html::TokenKind::Text) AddCss(token.range);
        const bool tag = token.kind == html::TokenKind::StartTag || token.kind == html::TokenKind::EndTag;
        // Views, which compare lengths first: every tag's name is compared here.
        const std::string_view name = token.name;
        if (tag) {
            m_inStyleElement = token.kind == html::TokenKind::StartTag && name == "style";
            m_inTitle = token.kind == html::TokenKind::StartTag && name == "title";
        }
        // A doctype that the page ends inside would take in what is written after it.
        if (token.kind == html::TokenKind::Doctype && !m_placeFound && m_page[token.range.end - 1] == '>')
            m_declarationPlace = token.range.end;
        if (token.kind != html::TokenKind::StartTag) return;
        TakeStartTag(token);
    }

    std::vector<Edit> Finish()
    {
        m_result.visibleText = m_text.FinishUncollapsed();
        if (!m_declared) m_edits.push_back({{m_declarationPlace, m_declarationPlace}, std::string(kUtf8Meta)});
        return std::move(m_edits);
    }

private:
    void TakeStartTag(const html::Token& token)
    {
        // A page without a declaration gets one first thing in its head, which a browser reads
        // before anything the declaration could change.
        const std::string_view name = token.name;
        if (!m_placeFound && (name == "head" || name == "html")) m_declarationPlace = token.range.end;
        if (name == "head" || (name != "html" && !m_placeFound)) m_placeFound = true;
        if (const std::optional<CharsetDeclaration> declaration = CharsetDeclarationOf(token)) Declare(*declaration);
        m_tagLinks.clear();
        html::AppendLinks(token, m_tagLinks);
        for (const html::Link& link : m_tagLinks)
            if (const std::string* rewritten = m_links.Rewritten(m_entry, link.value, m_result.problems))
                m_edits.push_back({link.range, *rewritten});
        const html::Attribute* style = token.FindAttribute("style");
        // Offsets in a value with character references are not those of its raw text.
        if (style && m_page.substr(style->valueRange.begin, style->valueRange.size()).find('&') == std::string_view::npos)
            AddCss(style->valueRange);
    }

    void Declare(const CharsetDeclaration& declaration)
    {
        m_declared = true;
        std::string value = declaration.isContentType ? "text/html; charset=utf-8" : "utf-8";
        if (!declaration.quoted) value = '"' + value + '"';
        // <meta charset> without a value: its range is the name's end.
        const std::size_t begin = declaration.valueRange.begin;
        if (!declaration.quoted && declaration.valueRange.size() == 0 && (begin == 0 || m_page[begin - 1] != '='))
            value.insert(0, 1, '=');
        m_edits.push_back({declaration.valueRange, std::move(value)});
    }

    void AddCss(html::ByteRange range)
    {
        for (const html::CssUrl& url : html::FindCssUrls(m_page.substr(range.begin, range.size())))
            if (const std::string* rewritten = m_links.Rewritten(m_entry, url.value, m_result.problems))
                m_edits.push_back({{range.begin + url.range.begin, range.begin + url.range.end}, *rewritten});
    }

    LinkCache& m_links;
    const std::size_t m_entry;
    const std::string_view m_page;
    RewrittenPage& m_result;
    std::vector<Edit> m_edits;
    std::vector<html::Link> m_tagLinks; // kept to spare an allocation per tag
    html::VisibleTextBuilder m_text;
    bool m_inStyleElement = false;
    bool m_inTitle = false;
    bool m_declared = false;
    bool m_placeFound = false;
    std::size_t m_declarationPlace = 0;
};

} // namespace

std::string PageAsUtf8(std::string bytes, const helpfile::TextEncoding& encoding)
{
    unsigned codePage = helpfile::kUtf8CodePage;
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.erase(0, kUtf8Bom.size());
    } else if (IsAscii(bytes)) {
        return bytes;
    } else if (const std::optional<unsigned> declared = DeclaredCodePage(bytes)) {
        codePage = *declared;
    } else {
        codePage = encoding.CodePageOf(bytes);
    }
    if (codePage == helpfile::kUtf8CodePage && IsWellFormedUtf8(bytes)) return bytes;
    return helpfile::Utf8FromCodePage(bytes, codePage);
}

RewrittenPage RewritePage(LinkCache& links, std::size_t entry, std::string bytes, const helpfile::TextEncoding& encoding)
{
    RewrittenPage page;
    const std::string utf8 = PageAsUtf8(std::move(bytes), encoding);
    PageEdits edits(links, entry, utf8, page);
    html::TokenizeEach(utf8, [&](html::Token&& token) { edits.Take(token); });
    std::vector<Edit> changes = edits.Finish();
    page.html = Applied(utf8, changes);
    return page;
}

std::string RewriteStyleSheet(const SiteLinks& links, std::size_t entry, std::string_view bytes,
                              std::vector<LinkProblem>& problems)
{
    std::vector<Edit> edits;
    for (const html::CssUrl& url : html::FindCssUrls(bytes))
        if (std::optional<std::string> rewritten = links.Rewritten(entry, url.value, problems))
            edits.push_back({url.range, std::move(*rewritten)});
    return Applied(bytes, edits);
}

} // namespace tarnwick::exporting
