#include "export/SearchTerms.h"

#include "base/Utf8.h"
#include "html/Ascii.h"

#include <algorithm>
#include <array>

namespace tarnwick::exporting {
namespace {

// Sorted by first code point: the lookups stop at the first range past the character.
constexpr CharRange kCharRanges[] = {
    {0x00, 0x2F, CharKind::Separator},
    {0x3A, 0x40, CharKind::Separator},
    {0x5B, 0x60, CharKind::Separator},
    {0x7B, 0xBF, CharKind::Separator}, // Latin-1's controls, no-break space, signs and quotes
    {0xD7, 0xD7, CharKind::Separator}, // multiplication and division signs between letters
    {0xF7, 0xF7, CharKind::Separator},
    {0x2000, 0x2BFF, CharKind::Separator}, // spaces of all widths, dashes, quotes, symbols, arrows, box drawing
    {0x3000, 0x3004, CharKind::Separator}, // ideographic space, 、 and 。
    {0x3005, 0x3007, CharKind::Cjk},       // 々, 〆 and 〇 stand inside words
    {0x3008, 0x303F, CharKind::Separator}, // 「」【】 and the other brackets
    {0x3040, 0x30FA, CharKind::Cjk},       // Hiragana, Katakana
    {0x30FB, 0x30FB, CharKind::Separator}, // ・ separates katakana words
    {0x30FC, 0x30FF, CharKind::Cjk},
    {0x31F0, 0x31FF, CharKind::Cjk},
    {0x3400, 0x4DBF, CharKind::Cjk},
    {0x4E00, 0x9FFF, CharKind::Cjk},
    {0xAC00, 0xD7AF, CharKind::Cjk},       // Hangul syllables
    {0xD800, 0xF8FF, CharKind::Separator}, // halves of UTF-16 pairs, private use (icon fonts)
    {0xF900, 0xFAFF, CharKind::Cjk},       // compatibility ideographs
    {0xFE10, 0xFE1F, CharKind::Separator}, // vertical punctuation
    {0xFE30, 0xFE6F, CharKind::Separator}, // compatibility and small punctuation
    {0xFEFF, 0xFEFF, CharKind::Separator}, // byte order mark
    {0xFF00, 0xFF65, CharKind::Separator}, // fullwidth punctuation left after folding
    {0xFF66, 0xFF9F, CharKind::Cjk},       // halfwidth katakana
    {0xFFF0, 0xFFFF, CharKind::Separator}, // U+FFFD, which ill-formed UTF-8 decodes to
};

// Latin-1, Latin Extended-A (but the dotted and dotless i, whose pairs are Turkish), basic Greek
// and Cyrillic: sorted like kCharRanges.
constexpr CaseRange kCaseRanges[] = {
    {0x41, 0x5A, 0x20, false},
    {0xC0, 0xD6, 0x20, false},
    {0xD8, 0xDE, 0x20, false},
    {0x100, 0x12E, 1, true},
    {0x132, 0x136, 1, true},
    {0x139, 0x147, 1, true},
    {0x14A, 0x176, 1, true},
    {0x178, 0x178, 0xFF - 0x178, false},
    {0x179, 0x17D, 1, true},
    {0x391, 0x3A1, 0x20, false},
    {0x3A3, 0x3AB, 0x20, false},
    {0x400, 0x40F, 0x50, false},
    {0x410, 0x42F, 0x20, false},
};

constexpr char32_t kLastBasic = 0xFFFF;

// Chinese input methods type Latin letters and digits fullwidth (ＡＢＣ１２３) at a keystroke.
char32_t FoldWidth(char32_t c) { return c >= 0xFF01 && c <= 0xFF5E ? c - 0xFEE0 : c; }

constexpr CharKind KindOf(char32_t c)
{
    if (c > kLastBasic) return CharKind::Separator;
    for (const CharRange& range : kCharRanges) {
        if (c < range.first) break;
        if (c <= range.last) return range.kind;
    }
    return CharKind::Word;
}

// Nearly every character of a page is ASCII: whether it is in a word is looked up in one step.
constexpr std::array<bool, 0x100> kAsciiWordCharacters = [] {
    std::array<bool, 0x100> word{};
    for (char32_t c = 0; c < 0x80; ++c) word[c] = KindOf(c) == CharKind::Word;
    return word;
}();

bool IsAsciiWordCharacter(char c) { return kAsciiWordCharacters[static_cast<unsigned char>(c)]; }

char32_t LowerCase(char32_t c)
{
    for (const CaseRange& range : kCaseRanges) {
        if (c < range.first) break;
        if (c <= range.last && (!range.everyOther || (c - range.first) % 2 == 0))
            return static_cast<char32_t>(static_cast<int>(c) + range.toLower);
    }
    return c;
}

class TermSplitter {
public:
    TermSplitter(std::string_view text, const std::function<void(std::string_view)>& take) : m_text(text), m_take(take) {}

    void Split()
    {
        for (std::size_t pos = 0; pos < m_text.size();) {
            // ASCII needs no decoding, has no width to fold and is lower-cased as it is.
            if (static_cast<unsigned char>(m_text[pos]) < 0x80) {
                pos = TakeAscii(pos);
                continue;
            }
            const std::size_t begin = pos;
            const char32_t c = FoldWidth(DecodeUtf8At(m_text, pos));
            const CharKind kind = KindOf(c);
            if (kind != CharKind::Word) EndWord();
            if (kind != CharKind::Cjk) EndCjkRun();
            if (kind == CharKind::Word) AddToWord(c);
            if (kind == CharKind::Cjk) AddToCjkRun(begin, pos);
        }
        EndWord();
        EndCjkRun();
    }

private:
    // An ASCII separator, or the run of ASCII word characters at `pos`; returns where it ends.
    std::size_t TakeAscii(std::size_t pos)
    {
        EndCjkRun();
        std::size_t end = pos;
        while (end < m_text.size() && IsAsciiWordCharacter(m_text[end])) ++end;
        if (end == pos) {
            EndWord();
            return pos + 1;
        }
        const std::size_t had = m_word.size();
        m_word.resize(had + (end - pos));
        std::transform(m_text.begin() + pos, m_text.begin() + end, m_word.begin() + had, html::AsciiLower);
        m_wordLength += end - pos;
        return end;
    }

    void AddToWord(char32_t c)
    {
        AppendCodePoint(m_word, LowerCase(c));
        ++m_wordLength;
    }

    void EndWord()
    {
        const bool singleAscii = m_wordLength == 1 && static_cast<unsigned char>(m_word[0]) < 0x80;
        if (m_wordLength > 0 && !singleAscii) m_take(m_word);
        m_word.clear();
        m_wordLength = 0;
    }

    // The run's characters are taken as written: no case, no width to fold.
    void AddToCjkRun(std::size_t begin, std::size_t end)
    {
        if (m_runLength > 0) m_take(m_text.substr(m_lastBegin, end - m_lastBegin));
        m_lastBegin = begin;
        m_lastEnd = end;
        ++m_runLength;
    }

    void EndCjkRun()
    {
        if (m_runLength == 1) m_take(m_text.substr(m_lastBegin, m_lastEnd - m_lastBegin));
        m_runLength = 0;
    }

    std::string_view m_text;
    const std::function<void(std::string_view)>& m_take;
    std::string m_word;
    std::size_t m_wordLength = 0;
    std::size_t m_runLength = 0;
    std::size_t m_lastBegin = 0; // the run's latest character, the first of the next bigram
    std::size_t m_lastEnd = 0;
};

} // namespace

std::span<const CharRange> SearchCharRanges() { return kCharRanges; }
std::span<const CaseRange> SearchCaseRanges() { return kCaseRanges; }

void ForEachSearchTerm(std::string_view text, const std::function<void(std::string_view)>& take)
{
    TermSplitter(text, take).Split();
}

std::vector<std::string> SearchTerms(std::string_view text)
{
    std::vector<std::string> terms;
    ForEachSearchTerm(text, [&terms](std::string_view term) { terms.emplace_back(term); });
    return terms;
}

} // namespace tarnwick::exporting
