#include "helpfile/CodePageText.h"

#include "base/Utf8.h"

namespace tarnwick::helpfile {
namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

// In UTF-8, the Windows code pages of one or two bytes a character and the OEM ones, no byte below
// '0' is part of a longer character (the later bytes of a character start at 0x40, or at 0x80).
// UTF-16 and the stateful encodings have no such byte.
bool CutsBeforeLowBytes(unsigned codePage)
{
    return codePage == kUtf8CodePage || codePage < 1200 || (codePage >= 1250 && codePage <= 1258);
}

std::size_t PieceEnd(std::string_view text, std::size_t begin, unsigned codePage)
{
    if (text.size() - begin <= kPieceBytes || !CutsBeforeLowBytes(codePage)) return text.size();
    for (std::size_t at = begin + kPieceBytes; at < text.size(); ++at)
        if (static_cast<unsigned char>(text[at]) < '0') return at;
    return text.size();
}

} // namespace

std::string Utf8FromCodePage(std::string_view text, unsigned codePage)
{
    std::string utf8;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = PieceEnd(text, begin, codePage);
        const std::string_view piece = text.substr(begin, end - begin);
        AppendUtf8(utf8, codePage == kUtf8CodePage ? WideFromUtf8(piece) : WideFromCodePage(piece, codePage));
        begin = end;
    }
    return utf8;
}

} // namespace tarnwick::helpfile
