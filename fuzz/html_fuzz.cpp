// libFuzzer entry point for the HTML library: any bytes, as a page and as CSS. Every range lies in
// the input, tokens come in order without overlapping, an attribute's ranges lie in its tag, and
// replacing a value's raw bytes (what export's link rewriter will do) gives that value and leaves
// every other token as it was; the same for the urls found in CSS.
#include "html/CssUrls.h"
#include "html/Links.h"
#include "html/Tokenizer.h"
#include "html/VisibleText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace tarnwick::html;

// Each rewrite tokenizes the whole input again; a few per input keep the runs fast.
constexpr int kRewrites = 3;

void Check(bool holds)
{
    if (!holds) __builtin_trap();
}

bool Inside(ByteRange inner, ByteRange outer)
{
    return outer.begin <= inner.begin && inner.begin <= inner.end && inner.end <= outer.end;
}

std::string Replaced(std::string_view text, ByteRange range, std::string_view replacement)
{
    return std::string(text.substr(0, range.begin)).append(replacement).append(text.substr(range.end));
}

bool IsTag(const Token& token)
{
    return token.kind == TokenKind::StartTag || token.kind == TokenKind::EndTag;
}

void CheckTokens(std::string_view html, const std::vector<Token>& tokens)
{
    std::size_t previousEnd = 0;
    for (const Token& token : tokens) {
        Check(previousEnd <= token.range.begin && token.range.begin < token.range.end && token.range.end <= html.size());
        previousEnd = token.range.end;
        if (IsTag(token)) Check(html[token.range.begin] == '<' && html[token.range.end - 1] == '>');
        for (const Attribute& attribute : token.attributes) {
            Check(Inside(attribute.nameRange, token.range) && Inside(attribute.valueRange, token.range));
            Check(attribute.nameRange.end <= attribute.valueRange.begin);
        }
    }
}

bool SameToken(const Token& a, const Token& b)
{
    return a.kind == b.kind && a.name == b.name && a.data == b.data && a.attributes.size() == b.attributes.size();
}

void CheckRewrite(std::string_view html, const std::vector<Token>& tokens, std::size_t index, const Attribute& attribute)
{
    const std::vector<Token> again = Tokenize(Replaced(html, attribute.valueRange, "x"));
    Check(again.size() == tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) Check(i == index || SameToken(again[i], tokens[i]));
    const Attribute* rewritten = again[index].FindAttribute(attribute.name);
    Check(rewritten != nullptr && rewritten->value == "x");
}

void CheckRewrites(std::string_view html, const std::vector<Token>& tokens)
{
    int left = kRewrites;
    for (std::size_t i = 0; i < tokens.size() && left > 0; ++i) {
        for (const Attribute& attribute : tokens[i].attributes) {
            const bool hasValue = attribute.quoted || attribute.valueRange.size() > 0;
            if (!hasValue || left == 0) continue;
            CheckRewrite(html, tokens, i, attribute);
            --left;
        }
    }
}

void CheckCss(std::string_view css)
{
    const std::vector<CssUrl> urls = FindCssUrls(css);
    std::size_t previousEnd = 0;
    for (const CssUrl& url : urls) {
        Check(previousEnd <= url.range.begin && url.range.begin <= url.range.end && url.range.end <= css.size());
        previousEnd = url.range.end;
    }
    for (std::size_t i = 0; i < urls.size() && i < kRewrites; ++i) {
        const std::vector<CssUrl> again = FindCssUrls(Replaced(css, urls[i].range, "x"));
        Check(again.size() == urls.size() && again[i].value == "x" && again[i].import == urls[i].import);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<Token> tokens = Tokenize(input);
    CheckTokens(input, tokens);
    CheckRewrites(input, tokens);
    for (const Link& link : FindLinks(tokens)) Check(link.range.end <= input.size());
    Check(VisibleText(tokens).size() <= 3 * input.size());
    CheckCss(input);
    return 0;
}
