// How a help file's texts are read. The help compiler writes them in the ANSI code page of the
// project's language, and that stays the default. But a compiler fed a UTF-8 project keeps its
// bytes under the same language, so the texts themselves are evidence: a text that is well-formed
// UTF-8 and cannot be text in the declared code page is read as UTF-8, and so is every text that
// could be either, once some text of the file showed UTF-8 and none contradicted it. The user may
// name the code page instead, and then nothing is guessed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::helpfile {

enum class TextEvidence {
    Ascii,        // the same in every code page
    Utf8Only,     // well-formed UTF-8 with characters past ASCII, and no text in the code page
                  // (a byte outside its characters, or one of its user-defined characters)
    Either,       // well-formed UTF-8 with characters past ASCII, and text in the code page too
    CodePageOnly, // not well-formed UTF-8
};

TextEvidence WeighText(std::string_view text, unsigned codePage);

class TextEncoding {
public:
    explicit TextEncoding(unsigned declaredCodePage, std::optional<unsigned> chosenCodePage = std::nullopt);

    // One more of the file's texts as evidence for the texts that could be either.
    void Weigh(std::string_view text);

    unsigned CodePageOf(std::string_view text) const;
    std::wstring Decode(std::string_view text) const;
    // A file name the help file names in its texts: of the ways to read it, the first that `exists`
    // finds among the file's entries (a project made again by a compiler that writes names as UTF-8
    // and keeps other texts in the code page mixes both in one file), else the text's own.
    std::wstring DecodeName(std::string_view text, const std::function<bool(std::wstring_view)>& exists) const;

    unsigned DeclaredCodePage() const { return m_declared; }
    // What the file's texts are read in where that is not the declared code page: the user's
    // choice, or UTF-8 when the texts showed it.
    std::optional<unsigned> DifferingCodePage() const;

private:
    bool TextsAreUtf8() const { return m_sawUtf8Only && !m_sawCodePageOnly; }

    unsigned m_declared;
    std::optional<unsigned> m_chosen;
    bool m_sawUtf8Only = false;
    bool m_sawCodePageOnly = false;
};

} // namespace tarnwick::helpfile
