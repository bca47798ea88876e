#include "export/Markdown.h"

#include "html/VisibleText.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace tarnwick::exporting {
namespace {

using html::Token;
using html::TokenKind;

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiPunct(char c) { return c > ' ' && c < 127 && !IsAsciiAlnum(c); }
bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string CollapseWhitespace(std::string_view raw)
{
    std::string out;
    for (const char c : raw) {
        if (c == '\0') continue;
        if (!IsAsciiSpace(c)) out += c;
        else if (out.empty() || out.back() != ' ') out += ' ';
    }
    return out;
}

std::string_view TrimTrailing(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return TrimTrailing(text);
}

int HeadingLevel(std::string_view name)
{
    const bool isHeading = name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
    return isHeading ? name[1] - '0' : 0;
}

bool IsList(std::string_view name) { return name == "ul" || name == "ol"; }

std::size_t LongestBacktickRun(std::string_view text)
{
    std::size_t longest = 0, run = 0;
    for (const char c : text) {
        run = c == '`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// "&amp;" in a page reads "&" on screen, but "&copy;" written back would be a reference again.
bool StartsCharacterReference(std::string_view word, std::size_t amp)
{
    std::size_t end = amp + 1;
    while (end < word.size() && (IsAsciiAlnum(word[end]) || word[end] == '#')) ++end;
    return end > amp + 1 && end < word.size() && word[end] == ';';
}

// Escapes only what would otherwise become markup, so that the text stays readable: "_" inside a
// word and "<" before a space are literal in CommonMark.
bool NeedsEscape(std::string_view word, std::size_t i)
{
    const char c = word[i];
    const char before = i > 0 ? word[i - 1] : ' ';
    const char after = i + 1 < word.size() ? word[i + 1] : ' ';
    switch (c) {
    case '*': case '`': case '[': case ']': return true;
    case '\\': return after == ' ' || IsAsciiPunct(after);
    case '_': return !IsAsciiAlnum(before) || !IsAsciiAlnum(after);
    case '<': return after == '/' || after == '!' || after == '?' || IsAsciiAlnum(after);
    case '&': return StartsCharacterReference(word, i);
    default: return false;
    }
}

std::string EscapeText(std::string_view word)
{
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (NeedsEscape(word, i)) out += '\\';
        out += word[i];
    }
    return out;
}

// What a line of a paragraph must not start with: a heading, quote, list item, rule, setext
// underline or fence. Inline escaping has already dealt with "*" and "`".
std::string EscapeLineStart(std::string_view line)
{
    std::size_t digits = 0;
    while (digits < line.size() && IsAsciiDigit(line[digits])) ++digits;
    const auto endsMarker = [&](std::size_t at) { return at >= line.size() || line[at] == ' '; };
    std::size_t hashes = line.find_first_not_of('#');
    hashes = hashes == std::string_view::npos ? line.size() : hashes;
    const bool allDashes = line.find_first_not_of("- ") == std::string_view::npos;
    std::string out(line);
    if (digits > 0 && digits <= 9 && digits < line.size() && (line[digits] == '.' || line[digits] == ')') &&
        endsMarker(digits + 1))
        out.insert(digits, "\\");
    else if ((hashes > 0 && hashes <= 6 && endsMarker(hashes)) || line.starts_with('>') || line.starts_with('=') ||
             line.starts_with("~~~") || ((line.starts_with('-') || line.starts_with('+')) && (endsMarker(1) || allDashes)))
        out.insert(0, "\\");
    return out;
}

// A closing run of "#" after a space would be read as the heading's optional closing sequence.
std::string EscapeClosingHashes(std::string text)
{
    const std::size_t run = text.find_last_not_of('#') + 1;
    if (run < text.size() && (run == 0 || text[run - 1] == ' ')) text.insert(run, "\\");
    return text;
}

std::string FormatUrl(std::string_view url)
{
    if (url.find_first_of(" ()<>\n\t") == std::string_view::npos) return std::string(url);
    std::string out = "<";
    for (const char c : url) {
        if (c == '<' || c == '>') out += '\\';
        if (c == '\n') out += "%0A";
        else out += c;
    }
    return out + ">";
}

enum class Box { List, Item, Quote, DefinitionList, Definition };

struct Container {
    Box kind;
    std::string marker;  // written on the first line only; "indent" on the lines after it
    std::string indent;
    bool markerPending = false;
    bool ordered = false;
    int nextNumber = 1;
    bool hasItems = false;
};

// An inline markup pair whose opening waits for visible text, so that "<b> x</b>" gives
// " **x**" and an anchor without text gives nothing.
struct Span {
    std::string tag;
    std::string open;
    std::string close;
    bool written = false;
};

} // namespace

class MarkdownBuilder::Writer {
public:
    explicit Writer(std::function<std::string(std::string_view)> rewriteUrl) : rewriteUrl_(std::move(rewriteUrl)) {}

    void Take(const Token& token)
    {
        if (token.kind == TokenKind::StartTag) OnStartTag(token);
        else if (token.kind == TokenKind::EndTag) OnEndTag(token.name);
        else if (token.kind == TokenKind::Text && !afterHidingTag_) OnText(token.data, afterPre_);
        // Raw-text elements (script, style...) hold exactly one text token, right after their start tag.
        afterHidingTag_ = token.kind == TokenKind::StartTag && html::HidesItsText(token.name);
        afterPre_ = token.kind == TokenKind::StartTag && std::string_view(token.name) == "pre";
    }

    std::string Finish()
    {
        if (preDepth_ > 0) EmitFence();
        if (headingLevel_ > 0) EndHeading();
        if (tableDepth_ > 0) EndTable();
        FlushParagraph();
        return std::move(out_);
    }

private:
    void OnText(std::string_view data, bool firstInPre)
    {
        // A browser drops the line break that follows <pre>.
        if (preDepth_ > 0) preText_ += firstInPre && data.starts_with('\n') ? data.substr(1) : data;
        else if (codeDepth_ > 0) codeText_ += data;
        else {
            const std::string text = CollapseWhitespace(data);
            for (std::size_t start = 0; start < text.size();) {
                const std::size_t end = std::min(text.find(' ', start), text.size());
                if (end == start) {
                    pendingSpace_ = true;
                    start = end + 1;
                } else {
                    WriteVisible(EscapeText(std::string_view(text).substr(start, end - start)));
                    start = end;
                }
            }
        }
    }

    // Names as views, which compare their lengths first: every tag is compared here many times.
    void OnStartTag(const Token& tag)
    {
        const std::string_view name = tag.name;
        if (preDepth_ > 0) {
            if (name == "br") preText_ += '\n';
            preDepth_ += name == "pre";
        } else if (IsOneOf(name, {"b", "strong"})) OpenSpan(name, "**", "**");
        else if (IsOneOf(name, {"i", "em", "cite", "dfn", "var"})) OpenSpan(name, "*", "*");
        else if (IsOneOf(name, {"code", "tt", "kbd", "samp"})) ++codeDepth_;
        else if (name == "a") OpenLink(tag);
        else if (name == "img") WriteImage(tag);
        else if (name == "br") LineBreak();
        else if (name == "table" && headingLevel_ == 0) OpenTable();
        else if (tableDepth_ == 1 && IsOneOf(name, {"tr", "td", "th"})) StartCell(name == "tr");
        else if (!html::BreaksText(name)) return;
        else if (InlineOnly()) pendingSpace_ = true;
        else StartBlock(tag);
    }

    void StartBlock(const Token& tag)
    {
        const std::string_view name = tag.name;
        if (name == "dt" || name == "dd") CloseSpan("dt");
        FlushParagraph();
        if (name == "li") return StartItem();
        // A list inside an item starts on the next line: a blank line would loosen the outer list.
        const bool insideItem = !containers_.empty() && containers_.back().kind == Box::Item;
        if (!IsList(name) || !insideItem) RequestBlank();
        if (const int level = HeadingLevel(name)) {
            headingLevel_ = level;
        } else if (name == "pre") {
            preDepth_ = 1;
        } else if (name == "hr") {
            EmitLine("---");
            RequestBlank();
        } else if (name == "blockquote") {
            PushContainer({Box::Quote, "> ", "> "});
        } else if (name == "dl") {
            PushContainer({Box::DefinitionList, "", ""});
        } else if (name == "dt") {
            PopAbove(Box::DefinitionList);
            OpenSpan("dt", "**", "**");
        } else if (name == "dd") {
            StartDefinition();
        } else if (IsList(name)) {
            PushContainer({Box::List, "", "", false, name == "ol", StartNumber(tag)});
        }
    }

    void OnEndTag(std::string_view name)
    {
        if (preDepth_ > 0) {
            if (name == "pre" && --preDepth_ == 0) EmitFence();
        } else if (IsOneOf(name, {"b", "strong", "i", "em", "cite", "dfn", "var", "a"})) CloseSpan(name);
        else if (IsOneOf(name, {"code", "tt", "kbd", "samp"})) {
            if (codeDepth_ > 0 && --codeDepth_ == 0) WriteCode();
        } else if (name == "table" && tableDepth_ > 0) {
            if (--tableDepth_ == 0) EndTable();
            else pendingSpace_ = true;
        } else if (tableDepth_ == 1 && IsOneOf(name, {"tr", "td", "th"})) EndCell();
        else if (headingLevel_ > 0 && HeadingLevel(name) > 0) EndHeading();
        else if (!html::BreaksText(name) || name == "br") return;
        else if (InlineOnly()) pendingSpace_ = true;
        else EndBlock(name);
    }

    void EndBlock(std::string_view name)
    {
        if (name == "li") return PopThrough(Box::Item);
        if (name == "dt") CloseSpan("dt");
        if (IsList(name)) PopThrough(Box::List);
        else if (name == "blockquote") PopThrough(Box::Quote);
        else if (name == "dd") PopThrough(Box::Definition);
        else if (name == "dl") PopThrough(Box::DefinitionList);
        FlushParagraph();
        RequestBlank();
    }

    bool InlineOnly() const { return inCell_ || headingLevel_ > 0 || tableDepth_ > 1; }

    static int StartNumber(const Token& tag)
    {
        int number = 1;
        if (const html::Attribute* start = tag.FindAttribute("start")) {
            const std::string value(TrimSpaces(start->value));
            std::from_chars(value.data(), value.data() + value.size(), number);
        }
        return std::clamp(number, 0, 999999999);
    }

    // Inline content.

    void OpenSpan(std::string_view tag, const std::string& open, const std::string& close)
    {
        const bool nested = std::any_of(spans_.begin(), spans_.end(), [&](const Span& s) { return s.open == open; });
        spans_.push_back(nested ? Span{std::string(tag), "", ""} : Span{std::string(tag), open, close});
    }

    void CloseSpan(std::string_view tag)
    {
        const auto found = std::find_if(spans_.rbegin(), spans_.rend(), [&](const Span& s) { return s.tag == tag; });
        if (found == spans_.rend()) return;
        // Before a trailing hard break, which would otherwise leave the close on a line of its own.
        if (found->written) inline_.insert(inline_.find_last_not_of('\n') + 1, found->close);
        spans_.erase(std::next(found).base());
    }

    // Links cannot nest: a second <a> ends the first, as in a browser.
    void OpenLink(const Token& tag)
    {
        CloseSpan("a");
        if (const html::Attribute* href = tag.FindAttribute("href"))
            OpenSpan("a", "[", "](" + FormatUrl(rewriteUrl_(href->value)) + ")");
    }

    void WriteImage(const Token& tag)
    {
        const html::Attribute* src = tag.FindAttribute("src");
        if (!src) return;
        const html::Attribute* alt = tag.FindAttribute("alt");
        const std::string altText = alt ? EscapeText(TrimSpaces(CollapseWhitespace(alt->value))) : "";
        WriteVisible("![" + altText + "](" + FormatUrl(rewriteUrl_(src->value)) + ")");
    }

    void WriteCode()
    {
        const std::string text = CollapseWhitespace(codeText_);
        codeText_.clear();
        const std::string_view content = TrimSpaces(text);
        if (text.starts_with(' ')) pendingSpace_ = true;
        if (!content.empty()) {
            const std::string fence(LongestBacktickRun(content) + 1, '`');
            const char* pad = content.starts_with('`') || content.ends_with('`') ? " " : "";
            WriteVisible(fence + pad + std::string(content) + pad + fence);
        }
        if (text.ends_with(' ')) pendingSpace_ = true;
    }

    void LineBreak()
    {
        if (InlineOnly()) pendingSpace_ = true;
        else if (!inline_.empty()) {
            inline_ += '\n';
            pendingSpace_ = false;
        }
    }

    void WriteVisible(const std::string& text)
    {
        if (pendingSpace_ && !inline_.empty() && inline_.back() != '\n') inline_ += ' ';
        pendingSpace_ = false;
        for (Span& span : spans_) {
            if (span.written || span.open.empty()) continue;
            // "!" before a link's "[" would make it an image.
            if (span.open == "[" && inline_.ends_with('!')) inline_.insert(inline_.size() - 1, "\\");
            inline_ += span.open;
            span.written = true;
        }
        inline_ += text;
    }

    // The inline content so far with its open spans closed; they open again before the next text.
    std::string TakeInline()
    {
        if (codeDepth_ > 0) WriteCode();
        while (inline_.ends_with('\n')) inline_.pop_back();
        for (auto span = spans_.rbegin(); span != spans_.rend(); ++span) {
            if (span->written) inline_ += span->close;
            span->written = false;
        }
        pendingSpace_ = false;
        return std::exchange(inline_, {});
    }

    // Blocks.

    void FlushParagraph()
    {
        const std::string content = TakeInline();
        for (std::size_t start = 0; start < content.size();) {
            const std::size_t end = std::min(content.find('\n', start), content.size());
            // Two breaks in a row read as a new paragraph; one is a backslash hard break.
            if (end == start) RequestBlank();
            else EmitLine(EscapeLineStart(std::string_view(content).substr(start, end - start)) +
                          (end + 1 < content.size() && content[end + 1] != '\n' ? "\\" : ""));
            start = end + 1;
        }
    }

    void EndHeading()
    {
        const std::string content = TakeInline();
        if (!content.empty()) EmitLine(std::string(headingLevel_, '#') + " " + EscapeClosingHashes(content));
        headingLevel_ = 0;
        RequestBlank();
    }

    void EmitFence()
    {
        std::vector<std::string_view> lines;
        for (std::size_t start = 0; start <= preText_.size();) {
            const std::size_t end = std::min(preText_.find('\n', start), preText_.size());
            lines.push_back(TrimTrailing(std::string_view(preText_).substr(start, end - start)));
            start = end + 1;
        }
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        if (!lines.empty()) {
            const std::string fence(std::max<std::size_t>(3, LongestBacktickRun(preText_) + 1), '`');
            EmitLine(fence);
            for (const std::string_view line : lines) EmitLine(line);
            EmitLine(fence);
        }
        preText_.clear();
        RequestBlank();
    }

    void OpenTable()
    {
        if (tableDepth_++ > 0) {
            pendingSpace_ = true;
            return;
        }
        FlushParagraph();
        RequestBlank();
        rows_.clear();
    }

    void StartCell(bool newRow)
    {
        EndCell();
        FlushParagraph();  // text a browser moves out in front of the table
        if (newRow || rows_.empty()) rows_.emplace_back();
        inCell_ = !newRow;
    }

    void EndCell()
    {
        if (!inCell_) return;
        inCell_ = false;
        std::string cell;
        for (const char c : TakeInline()) cell += c == '|' ? "\\|" : std::string(1, c);
        rows_.back().push_back(std::move(cell));
    }

    void EndTable()
    {
        EndCell();
        tableDepth_ = 0;
        std::erase_if(rows_, [](const std::vector<std::string>& row) { return row.empty(); });
        std::size_t columns = 0;
        for (const auto& row : rows_) columns = std::max(columns, row.size());
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            rows_[r].resize(columns);
            std::string line = "|";
            for (const std::string& cell : rows_[r]) line += " " + cell + " |";
            EmitLine(line);
            if (r == 0) EmitLine(DelimiterRow(columns));
        }
        rows_.clear();
        RequestBlank();
    }

    static std::string DelimiterRow(std::size_t columns)
    {
        std::string line = "|";
        for (std::size_t i = 0; i < columns; ++i) line += " --- |";
        return line;
    }

    void StartItem()
    {
        if (!PopAbove(Box::List)) PushContainer({Box::List, "", ""});
        Container& owner = containers_.back();
        // Items after the first follow each other without a blank line, so the list stays tight.
        if (owner.hasItems) blankPending_ = false;
        owner.hasItems = true;
        const std::string marker = owner.ordered ? std::to_string(owner.nextNumber++) + ". " : "- ";
        PushContainer({Box::Item, marker, std::string(marker.size(), ' '), true});
    }

    void StartDefinition()
    {
        PopAbove(Box::DefinitionList);
        // Two levels of two spaces would be four: an indented code block.
        const bool nested = std::any_of(containers_.begin(), containers_.end(), [](const Container& c) { return c.kind == Box::Definition; });
        PushContainer({Box::Definition, nested ? "" : "  ", nested ? "" : "  "});
    }

    void PushContainer(Container container)
    {
        FlushParagraph();
        if (blankPending_) WriteBlankLine();
        containers_.push_back(std::move(container));
    }

    // Closes the innermost container of this kind and all inside it; a stray end tag closes nothing.
    void PopThrough(Box kind)
    {
        if (PopAbove(kind)) containers_.pop_back();
    }

    // Closes what is open inside the innermost container of this kind, as a new item closes the
    // one before it; false when there is none.
    bool PopAbove(Box kind)
    {
        FlushParagraph();
        const auto found = std::find_if(containers_.rbegin(), containers_.rend(), [&](const Container& c) { return c.kind == kind; });
        if (found == containers_.rend()) return false;
        containers_.erase(found.base(), containers_.end());
        return true;
    }

    // An item's first block sits on its marker's line, not a blank line below it.
    void RequestBlank()
    {
        if (containers_.empty() || !containers_.back().markerPending) blankPending_ = true;
    }

    void WriteBlankLine()
    {
        blankPending_ = false;
        if (out_.empty() || lastLineBlank_) return;
        std::string prefix;
        for (const Container& c : containers_) {
            if (c.markerPending) break;
            prefix += c.indent;
        }
        out_ += TrimTrailing(prefix);
        out_ += '\n';
        lastLineBlank_ = true;
    }

    void EmitLine(std::string_view content)
    {
        if (blankPending_) WriteBlankLine();
        std::string line;
        for (Container& c : containers_) {
            line += c.markerPending ? c.marker : c.indent;
            c.markerPending = false;
        }
        line += content;
        out_ += TrimTrailing(line);
        out_ += '\n';
        lastLineBlank_ = false;
    }

    const std::function<std::string(std::string_view)> rewriteUrl_;
    bool afterHidingTag_ = false;
    bool afterPre_ = false;
    std::string out_;
    bool blankPending_ = false;
    bool lastLineBlank_ = false;
    std::vector<Container> containers_;
    std::string inline_;
    bool pendingSpace_ = false;
    std::vector<Span> spans_;
    int codeDepth_ = 0;
    std::string codeText_;
    int preDepth_ = 0;
    std::string preText_;
    int headingLevel_ = 0;
    int tableDepth_ = 0;
    bool inCell_ = false;
    std::vector<std::vector<std::string>> rows_;
};

MarkdownBuilder::MarkdownBuilder(std::function<std::string(std::string_view href)> rewriteUrl)
    : m_writer(std::make_unique<Writer>(std::move(rewriteUrl)))
{
}

MarkdownBuilder::~MarkdownBuilder() = default;

void MarkdownBuilder::Take(const html::Token& token) { m_writer->Take(token); }

std::string MarkdownBuilder::Finish() { return m_writer->Finish(); }

std::string MarkdownFromTokens(const std::vector<html::Token>& tokens,
                               const std::function<std::string(std::string_view href)>& rewriteUrl)
{
    MarkdownBuilder markdown(rewriteUrl);
    for (const html::Token& token : tokens) markdown.Take(token);
    return markdown.Finish();
}

} // namespace tarnwick::exporting
