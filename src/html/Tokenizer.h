// HTML split into tokens as a browser's tokenizer splits it, with the byte range of every token and
// attribute value in the input, so that a rewriter can replace one raw value and keep every other
// byte of the page.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::html {

// [begin, end) in bytes of the tokenizer's input.
struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;

    std::size_t size() const { return end - begin; }
    bool operator==(const ByteRange&) const = default;
};

struct Attribute {
    std::string name;       // ASCII lower-cased
    std::string value;      // character references decoded, line breaks made LF
    ByteRange nameRange;
    // The raw value without its quotes; empty (at the name's end, or before the '>') when the
    // attribute has no value.
    ByteRange valueRange;
    bool quoted = false;
};

enum class TokenKind { StartTag, EndTag, Text, Comment, Doctype };

struct Token {
    TokenKind kind = TokenKind::Text;
    // From '<' through '>' for markup; the characters themselves for text. A comment or doctype
    // that the input ends inside runs to the input's end.
    ByteRange range;
    std::string name;       // tags: ASCII lower-cased; doctype: its name, lower-cased
    std::string data;       // text and comments: decoded, line breaks made LF
    std::vector<Attribute> attributes;  // start tags only; of duplicates the first
    bool selfClosing = false;

    const Attribute* FindAttribute(std::string_view attributeName) const;
};

// The input is UTF-8 (the caller has converted the page); bytes that are not valid UTF-8 pass
// through into names and data unchanged. A tag that the input ends inside is no token at all, as
// in a browser.
std::vector<Token> Tokenize(std::string_view html);
// The same tokens handed over one at a time, as they are read: a sitemap of many megabytes is
// read without holding them all.
void TokenizeEach(std::string_view html, const std::function<void(Token&&)>& take);

} // namespace tarnwick::html
