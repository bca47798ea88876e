#include "export/PlainText.h"

#include "html/VisibleText.h"

#include <algorithm>

namespace tarnwick::exporting {
namespace {

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

bool StartsParagraph(std::string_view element)
{
    return element == "p" || element == "h1" || element == "h2" || element == "h3" || element == "h4" ||
           element == "h5" || element == "h6" || element == "pre" || element == "table" || element == "blockquote" ||
           element == "ul" || element == "ol" || element == "dl" || element == "hr";
}

class TextBuilder {
public:
    // Each run of whitespace a single space, none at a line's start or end.
    void Add(std::string_view text)
    {
        for (const char c : text) {
            if (c == '\0') continue;
            if (IsAsciiSpace(c)) {
                m_space = !AtLineStart();
                continue;
            }
            if (m_space) m_out += ' ';
            m_space = false;
            m_out += c;
        }
    }
    void AddVerbatim(std::string_view text)
    {
        m_space = false;
        m_out += text;
    }
    // Cells of a row stay on its line.
    void SeparateCell()
    {
        m_space = false;
        if (!AtLineStart()) m_out += '\t';
    }
    void BreakLine()
    {
        m_space = false;
        if (!AtLineStart()) m_out += '\n';
    }
    void BreakParagraph()
    {
        BreakLine();
        if (!m_out.empty() && !m_out.ends_with("\n\n")) m_out += '\n';
    }
    std::string Take()
    {
        while (m_out.ends_with('\n')) m_out.pop_back();
        if (!m_out.empty()) m_out += '\n';
        return std::move(m_out);
    }

private:
    bool AtLineStart() const { return m_out.empty() || m_out.back() == '\n'; }
    std::string m_out;
    bool m_space = false;
};

} // namespace

class PlainTextBuilder::Writer {
public:
    void Take(const html::Token& token)
    {
        const bool isStart = token.kind == html::TokenKind::StartTag;
        if (token.kind == html::TokenKind::Text && !m_hidden) {
            if (m_preformatted > 0) m_text.AddVerbatim(token.data);
            else m_text.Add(token.data);
        }
        m_hidden = isStart && html::HidesItsText(token.name);
        if (token.kind != html::TokenKind::StartTag && token.kind != html::TokenKind::EndTag) return;
        if (token.name == "pre") m_preformatted = std::max(0, m_preformatted + (isStart ? 1 : -1));
        if (token.name == "td" || token.name == "th") {
            if (isStart) m_text.SeparateCell();
        } else if (StartsParagraph(token.name)) {
            m_text.BreakParagraph();
        } else if (html::BreaksText(token.name)) {
            m_text.BreakLine();
        }
    }

    std::string Finish() { return m_text.Take(); }

private:
    TextBuilder m_text;
    int m_preformatted = 0;
    bool m_hidden = false; // the one text token right after a start tag that hides its text
};

PlainTextBuilder::PlainTextBuilder() : m_writer(std::make_unique<Writer>()) {}

PlainTextBuilder::~PlainTextBuilder() = default;

void PlainTextBuilder::Take(const html::Token& token) { m_writer->Take(token); }

std::string PlainTextBuilder::Finish() { return m_writer->Finish(); }

std::string PlainText(const std::vector<html::Token>& tokens)
{
    PlainTextBuilder text;
    for (const html::Token& token : tokens) text.Take(token);
    return text.Finish();
}

} // namespace tarnwick::exporting
