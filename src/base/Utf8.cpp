#include "base/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tarnwick {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one code point at `pos` and advances past it; rejects overlong forms,
// surrogates and values past U+10FFFF so that no two byte strings decode alike
// except through the replacement character.
char32_t DecodeOne(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int extra = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, value = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + extra >= text.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(byte)) {
            ++pos;
            return kReplacement;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += extra + 1;
    return value;
}

// Writes at `out` and returns the end. A code point that takes four UTF-8 bytes
// takes two UTF-16 units, so the wide text never outgrows the byte count.
wchar_t* EncodeWide(wchar_t* out, char32_t cp)
{
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *out++ = static_cast<wchar_t>(0xD800 + (cp >> 10));
            *out++ = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return out;
        }
    }
    *out++ = static_cast<wchar_t>(cp);
    return out;
}

// Writes at `out` and returns the end; the caller has room for four bytes.
char* EncodeUtf8(char* out, char32_t cp)
{
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point at text[i], moving i onto the second half of a surrogate pair. An unpaired
// surrogate, or a value past U+10FFFF, is U+FFFD.
inline char32_t NextCodePoint(std::wstring_view text, std::size_t& i)
{
    auto cp = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
    if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
        ++i;
        return 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[i]) - 0xDC00);
    }
    if (IsHighSurrogate(cp) || IsLowSurrogate(cp) || cp > 0x10FFFF) return kReplacement;
    return cp;
}

bool IsAscii(wchar_t c) { return static_cast<std::uint32_t>(c) < 0x80; }

std::size_t Utf8Length(char32_t cp) { return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4; }

// Names and listings are nearly all ASCII: these copy the leading ASCII run of a text a block at
// a time, converting and checking in one loop that the compiler turns into vector code, and
// return its length.
constexpr std::size_t kAsciiBlock = 16;

std::size_t WidenAsciiRun(std::string_view text, wchar_t* out)
{
    std::size_t i = 0;
    for (; i + kAsciiBlock <= text.size(); i += kAsciiBlock) {
        wchar_t block[kAsciiBlock];
        unsigned char any = 0;
        for (std::size_t k = 0; k < kAsciiBlock; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            any |= byte;
            block[k] = static_cast<wchar_t>(byte);
        }
        if (any >= 0x80) break;
        std::memcpy(out + i, block, sizeof block);
    }
    for (; i < text.size() && static_cast<unsigned char>(text[i]) < 0x80; ++i) out[i] = static_cast<wchar_t>(text[i]);
    return i;
}

std::size_t NarrowAsciiRun(std::wstring_view text, char* out)
{
    std::size_t i = 0;
    for (; i + kAsciiBlock <= text.size(); i += kAsciiBlock) {
        char block[kAsciiBlock];
        std::uint32_t any = 0;
        for (std::size_t k = 0; k < kAsciiBlock; ++k) {
            const auto unit = static_cast<std::uint32_t>(text[i + k]);
            any |= unit;
            block[k] = static_cast<char>(unit);
        }
        if (any >= 0x80) break;
        std::memcpy(out + i, block, sizeof block);
    }
    for (; i < text.size() && IsAscii(text[i]); ++i) out[i] = static_cast<char>(text[i]);
    return i;
}

constexpr char32_t kFirstEscapedByte = 0xDC80;
constexpr char32_t kLastEscapedByte = 0xDCFF;

} // namespace

std::size_t WideFromUtf8(std::string_view text, wchar_t* out)
{
    wchar_t* end = out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t ascii = WidenAsciiRun(text.substr(pos), end);
        pos += ascii;
        end += ascii;
        if (pos < text.size()) end = EncodeWide(end, DecodeOne(text, pos));
    }
    return static_cast<std::size_t>(end - out);
}

std::wstring WideFromUtf8(std::string_view text)
{
    std::wstring out(text.size(), L'\0'); // never more wide characters than bytes, even with surrogates
    out.resize(WideFromUtf8(text, out.data()));
    return out;
}

std::string Utf8FromWide(std::wstring_view text)
{
    // Measured first, so that each string holds exactly its size: the listing makes thousands.
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        length += IsAscii(text[i]) ? 1 : Utf8Length(NextCodePoint(text, i));
    std::string out(length, '\0');
    if (length == text.size()) {
        std::copy(text.begin(), text.end(), out.begin());
        return out;
    }
    char* end = out.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        end = IsAscii(text[i]) ? (*end = static_cast<char>(text[i]), end + 1) : EncodeUtf8(end, NextCodePoint(text, i));
    return out;
}

void AppendUtf8(std::string& out, std::wstring_view text)
{
    // Room for the longest form (one UTF-32 unit can take four bytes), given back at the end.
    const std::size_t start = out.size();
    out.resize(start + 4 * text.size());
    char* const begin = out.data();
    char* end = begin + start;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t ascii = NarrowAsciiRun(text.substr(i), end);
        i += ascii;
        end += ascii;
        if (i < text.size()) end = EncodeUtf8(end, NextCodePoint(text, i)), ++i;
    }
    out.resize(static_cast<std::size_t>(end - begin));
}

char32_t DecodeUtf8At(std::string_view text, std::size_t& pos) { return DecodeOne(text, pos); }

void AppendCodePoint(std::string& out, char32_t cp)
{
    char utf8[4];
    out.append(utf8, EncodeUtf8(utf8, cp));
}

// Every page of an export is checked whole: a block at a time, as above.
bool IsAscii(std::string_view text)
{
    std::size_t i = 0;
    for (; i + kAsciiBlock <= text.size(); i += kAsciiBlock) {
        unsigned char any = 0;
        for (std::size_t k = 0; k < kAsciiBlock; ++k) any |= static_cast<unsigned char>(text[i + k]);
        if (any >= 0x80) return false;
    }
    return std::all_of(text.begin() + i, text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsWellFormedUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        if (DecodeOne(text, pos) == kReplacement && pos == start + 1) return false;
    }
    return true;
}

std::wstring WideFromFileName(std::string_view bytes)
{
    std::wstring out(bytes.size(), L'\0');
    wchar_t* end = out.data();
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        const char32_t cp = DecodeOne(bytes, pos);
        // A well-formed U+FFFD takes three bytes; one byte read means it was not UTF-8.
        if (cp == kReplacement && pos == start + 1)
            *end++ = static_cast<wchar_t>(kFirstEscapedByte - 0x80 + static_cast<unsigned char>(bytes[start]));
        else
            end = EncodeWide(end, cp);
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

std::string FileNameFromWide(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    char utf8[4];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
        if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else if (unit >= kFirstEscapedByte && unit <= kLastEscapedByte) {
            out += static_cast<char>(unit - kFirstEscapedByte + 0x80);
        } else {
            out.append(utf8, EncodeUtf8(utf8, NextCodePoint(text, i)));
        }
    }
    return out;
}

} // namespace tarnwick
