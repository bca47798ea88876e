#include "helpfile/TextEncoding.h"

#include "base/Utf8.h"
#include "helpfile/CodePageText.h"

namespace tarnwick::helpfile {
namespace {

// In a code page of one byte per character nearly every byte string is text, but real text in
// one is almost never well-formed UTF-8 (a letter followed by the right number of bytes from
// 0x80-0xBF, again and again): there, well-formed UTF-8 is taken for what it looks like. The
// double-byte code pages of East Asia are told apart by decoding.
bool HasDoubleByteCharacters(unsigned codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

// Text in the code page: every byte part of a character, and none of them in the code page's
// user-defined rows, which Windows reads as private-use characters and no real text holds.
bool IsTextIn(std::string_view text, unsigned codePage)
{
    const auto read = WideFromCodePageStrictly(text, codePage);
    return read && std::none_of(read->begin(), read->end(), [](wchar_t c) { return c >= 0xE000 && c <= 0xF8FF; });
}

} // namespace

TextEvidence WeighText(std::string_view text, unsigned codePage)
{
    if (tarnwick::IsAscii(text)) return TextEvidence::Ascii;
    if (!tarnwick::IsWellFormedUtf8(text)) return TextEvidence::CodePageOnly;
    if (codePage == kUtf8CodePage) return TextEvidence::Utf8Only;
    if (!HasDoubleByteCharacters(codePage)) return TextEvidence::Utf8Only;
    return IsTextIn(text, codePage) ? TextEvidence::Either : TextEvidence::Utf8Only;
}

namespace {

std::wstring DecodeIn(std::string_view text, unsigned codePage)
{
    return codePage == kUtf8CodePage ? tarnwick::WideFromUtf8(text) : WideFromCodePage(text, codePage);
}

} // namespace

TextEncoding::TextEncoding(unsigned declaredCodePage, std::optional<unsigned> chosenCodePage)
    : m_declared(declaredCodePage), m_chosen(chosenCodePage)
{
}

void TextEncoding::Weigh(std::string_view text)
{
    // Past one contradiction nothing changes the decision.
    if (m_chosen || m_sawCodePageOnly) return;
    if (!tarnwick::IsWellFormedUtf8(text)) {
        m_sawCodePageOnly = true;
        return;
    }
    // Past one sign of UTF-8 only a contradiction matters, and that needs no decoding.
    if (!m_sawUtf8Only) m_sawUtf8Only = WeighText(text, m_declared) == TextEvidence::Utf8Only;
}

unsigned TextEncoding::CodePageOf(std::string_view text) const
{
    if (m_chosen) return *m_chosen;
    switch (WeighText(text, m_declared)) {
    case TextEvidence::Utf8Only: return kUtf8CodePage;
    case TextEvidence::Either: return TextsAreUtf8() ? kUtf8CodePage : m_declared;
    case TextEvidence::Ascii:
    case TextEvidence::CodePageOnly: break;
    }
    return m_declared;
}

std::wstring TextEncoding::Decode(std::string_view text) const { return DecodeIn(text, CodePageOf(text)); }

std::wstring TextEncoding::DecodeName(std::string_view text, const std::function<bool(std::wstring_view)>& exists) const
{
    const unsigned first = CodePageOf(text);
    std::wstring reading = DecodeIn(text, first);
    if (exists(reading)) return reading;
    for (const unsigned other : {m_declared, kUtf8CodePage}) {
        if (other == first || (other == kUtf8CodePage && !tarnwick::IsWellFormedUtf8(text))) continue;
        std::wstring alternative = DecodeIn(text, other);
        if (exists(alternative)) return alternative;
    }
    return reading;
}

std::optional<unsigned> TextEncoding::DifferingCodePage() const
{
    const unsigned used = m_chosen ? *m_chosen : TextsAreUtf8() ? kUtf8CodePage : m_declared;
    if (used == m_declared) return std::nullopt;
    return used;
}

} // namespace tarnwick::helpfile
