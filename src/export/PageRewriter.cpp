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

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::optional<unsigned> DeclaredCodePage(const std::vector<html::Token>& tokens)
{
    const std::vector<CharsetDeclaration> declarations = FindCharsetDeclarations(tokens);
    if (declarations.empty() || !declarations.front().codePage) return std::nullopt;
    const unsigned codePage = *declarations.front().codePage;
    if (codePage != helpfile::kUtf8CodePage && !helpfile::IsKnownCodePage(codePage)) return std::nullopt;
    return codePage;
}

// The urls of a CSS text that starts at `offset` of the page.
void AddCssEdits(const SiteLinks& links, std::size_t entry, std::string_view css, std::size_t offset,
                 std::vector<Edit>& edits, std::vector<LinkProblem>& problems)
{
    for (const html::CssUrl& url : html::FindCssUrls(css))
        if (std::optional<std::string> rewritten = links.Rewritten(entry, url.value, problems))
            edits.push_back({{offset + url.range.begin, offset + url.range.end}, std::move(*rewritten)});
}

void AddLinkEdits(const SiteLinks& links, std::size_t entry, const std::vector<html::Token>& tokens,
                  std::vector<Edit>& edits, std::vector<LinkProblem>& problems)
{
    for (const html::Link& link : html::FindLinks(tokens))
        if (std::optional<std::string> rewritten = links.Rewritten(entry, link.value, problems))
            edits.push_back({link.range, std::move(*rewritten)});
}

void AddStyleEdits(const SiteLinks& links, std::size_t entry, std::string_view page,
                   const std::vector<html::Token>& tokens, std::vector<Edit>& edits, std::vector<LinkProblem>& problems)
{
    bool inStyleElement = false;
    for (const html::Token& token : tokens) {
        if (token.kind == html::TokenKind::Text && inStyleElement)
            AddCssEdits(links, entry, page.substr(token.range.begin, token.range.size()), token.range.begin, edits, problems);
        if (token.kind == html::TokenKind::StartTag || token.kind == html::TokenKind::EndTag)
            inStyleElement = token.kind == html::TokenKind::StartTag && token.name == "style";
        if (token.kind != html::TokenKind::StartTag) continue;
        const html::Attribute* style = token.FindAttribute("style");
        if (!style) continue;
        const std::string_view raw = page.substr(style->valueRange.begin, style->valueRange.size());
        // Offsets in a value with character references are not those of its raw text.
        if (raw.find('&') == std::string_view::npos) AddCssEdits(links, entry, raw, style->valueRange.begin, edits, problems);
    }
}

// Where a page without a declaration gets one: first thing in its head, which a browser reads
// before anything the declaration could change.
std::size_t DeclarationPlace(const std::vector<html::Token>& tokens)
{
    std::size_t place = 0;
    for (const html::Token& token : tokens) {
        if (token.kind == html::TokenKind::StartTag && token.name == "head") return token.range.end;
        if ((token.kind == html::TokenKind::StartTag && token.name == "html") || token.kind == html::TokenKind::Doctype)
            place = token.range.end;
        else if (token.kind == html::TokenKind::StartTag)
            break;
    }
    return place;
}

void AddCharsetEdits(const std::vector<html::Token>& tokens, std::vector<Edit>& edits)
{
    const std::vector<CharsetDeclaration> declarations = FindCharsetDeclarations(tokens);
    if (declarations.empty()) {
        const std::size_t place = DeclarationPlace(tokens);
        edits.push_back({{place, place}, std::string(kUtf8Meta)});
        return;
    }
    for (const CharsetDeclaration& declaration : declarations) {
        std::string value = declaration.isContentType ? "text/html; charset=utf-8" : "utf-8";
        if (!declaration.quoted) value = '"' + value + '"';
        edits.push_back({declaration.valueRange, std::move(value)});
    }
}

} // namespace

std::string PageAsUtf8(std::string_view bytes, const std::vector<html::Token>& rawTokens,
                       const helpfile::TextEncoding& encoding)
{
    unsigned codePage = helpfile::kUtf8CodePage;
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
    } else if (IsAscii(bytes)) {
        return std::string(bytes);
    } else if (const std::optional<unsigned> declared = DeclaredCodePage(rawTokens)) {
        codePage = *declared;
    } else {
        codePage = encoding.CodePageOf(bytes);
    }
    if (codePage != helpfile::kUtf8CodePage) return Utf8FromWide(helpfile::WideFromCodePage(bytes, codePage));
    return IsWellFormedUtf8(bytes) ? std::string(bytes) : Utf8FromWide(WideFromUtf8(bytes));
}

std::string PageTitle(const std::vector<html::Token>& tokens)
{
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i)
        if (tokens[i].kind == html::TokenKind::StartTag && tokens[i].name == "title" && tokens[i + 1].kind == html::TokenKind::Text)
            return html::VisibleText({tokens[i + 1]});
    return {};
}

RewrittenPage RewritePage(const SiteLinks& links, std::size_t entry, std::string_view bytes,
                          const helpfile::TextEncoding& encoding)
{
    RewrittenPage page;
    std::vector<html::Token> rawTokens = html::Tokenize(bytes);
    const std::string utf8 = PageAsUtf8(bytes, rawTokens, encoding);
    page.tokens = utf8 == bytes ? std::move(rawTokens) : html::Tokenize(utf8);

    std::vector<Edit> edits;
    AddCharsetEdits(page.tokens, edits);
    AddLinkEdits(links, entry, page.tokens, edits, page.problems);
    AddStyleEdits(links, entry, utf8, page.tokens, edits, page.problems);
    page.html = Applied(utf8, edits);
    return page;
}

std::string RewriteStyleSheet(const SiteLinks& links, std::size_t entry, std::string_view bytes,
                              std::vector<LinkProblem>& problems)
{
    std::vector<Edit> edits;
    AddCssEdits(links, entry, bytes, 0, edits, problems);
    return Applied(bytes, edits);
}

} // namespace tarnwick::exporting
