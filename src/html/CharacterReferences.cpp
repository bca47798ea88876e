#include "html/CharacterReferences.h"

#include "html/NamedReferences.h"

#include <algorithm>
#include <cstdint>

namespace tarnwick::html {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kBeyondUnicode = 0x110000;

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int HexDigitValue(char c)
{
    if (IsAsciiDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int DigitValue(char c, int base)
{
    return base == 16 ? HexDigitValue(c) : (IsAsciiDigit(c) ? c - '0' : -1);
}

// Pages written in Windows-1252 refer to its characters by their byte values (&#150; for a dash);
// browsers give those numbers the characters the bytes stand for there. The five bytes
// Windows-1252 leaves undefined keep their own number.
char32_t FromWindows1252Range(char32_t code)
{
    static constexpr char32_t kMeaning[32] = {
        0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F,
        0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178,
    };
    return kMeaning[code - 0x80];
}

char32_t NumericReferenceMeaning(char32_t code)
{
    if (code == 0 || code >= kBeyondUnicode) return kReplacementCharacter;
    if (code >= 0xD800 && code <= 0xDFFF) return kReplacementCharacter;
    if (code >= 0x80 && code <= 0x9F) return FromWindows1252Range(code);
    return code;
}

// text = "&#..."
std::size_t AppendNumericReference(std::string& out, std::string_view text)
{
    std::size_t at = 2;
    int base = 10;
    if (at < text.size() && (text[at] == 'x' || text[at] == 'X')) {
        base = 16;
        ++at;
    }
    const std::size_t digitsStart = at;
    char32_t code = 0;
    for (; at < text.size(); ++at) {
        const int digit = DigitValue(text[at], base);
        if (digit < 0) break;
        // Saturates: any number past Unicode's end means the same replacement character.
        code = std::min<char32_t>(code * base + digit, kBeyondUnicode);
    }
    if (at == digitsStart) return 0;
    if (at < text.size() && text[at] == ';') ++at;
    AppendUtf8(out, NumericReferenceMeaning(code));
    return at;
}

// text = "&name..."
std::size_t AppendNamedReference(std::string& out, std::string_view text, ReferenceContext context)
{
    const NamedReference* match = LongestNamedReference(text.substr(1));
    if (match == nullptr) return 0;
    const std::size_t length = 1 + match->name.size();
    // In attribute values a name without its semicolon that runs on into letters, digits or '='
    // stays text, so that urls like "?a=1&copy=2" keep their parameters.
    const bool withoutSemicolon = match->name.back() != ';';
    if (context == ReferenceContext::AttributeValue && withoutSemicolon && length < text.size() &&
        (IsAsciiAlnum(text[length]) || text[length] == '=')) {
        return 0;
    }
    out += match->replacement;
    return length;
}

} // namespace

std::size_t AppendCharacterReference(std::string& out, std::string_view text, ReferenceContext context)
{
    if (text.size() < 2) return 0;
    if (text[1] == '#') return AppendNumericReference(out, text);
    if (IsAsciiAlnum(text[1])) return AppendNamedReference(out, text, context);
    return 0;
}

void AppendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace tarnwick::html
