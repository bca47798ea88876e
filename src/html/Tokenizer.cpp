#include "html/Tokenizer.h"

#include "html/Ascii.h"
#include "html/CharacterReferences.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace tarnwick::html {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// CR counts: the input's CR and CR LF are LF to the tokenizer.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
// What the text between markup may hold, by the element whose start tag came last.
enum class ContentModel { Data, EscapableRawText, RawText, ScriptData, PlainText };

ContentModel ContentModelOf(std::string_view element)
{
    if (element == "title" || element == "textarea") return ContentModel::EscapableRawText;
    if (element == "style" || element == "xmp" || element == "iframe" || element == "noembed" ||
        element == "noframes") {
        return ContentModel::RawText;
    }
    if (element == "script") return ContentModel::ScriptData;
    if (element == "plaintext") return ContentModel::PlainText;
    return ContentModel::Data;
}

enum class Decoding { DataText, EscapableRawText, RawText, AttributeValue };

// Text in its decoded form: references replaced where the context has them, CR and CR LF made LF,
// NUL made U+FFFD except in data, where the tree builder (not the tokenizer) drops it.
std::string Decode(std::string_view raw, Decoding decoding)
{
    const bool references = decoding != Decoding::RawText;
    const ReferenceContext context =
        decoding == Decoding::AttributeValue ? ReferenceContext::AttributeValue : ReferenceContext::Text;
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        // Most text has nothing to decode: it is copied a run at a time.
        std::size_t plain = i;
        while (plain < raw.size() && raw[plain] != '&' && raw[plain] != '\r' && raw[plain] != '\0') ++plain;
        out.append(raw.substr(i, plain - i));
        i = plain;
        if (i == raw.size()) break;
        const char c = raw[i];
        if (c == '&' && references) {
            const std::size_t used = AppendCharacterReference(out, raw.substr(i), context);
            if (used > 0) {
                i += used;
                continue;
            }
        }
        if (c == '\r') {
            out += '\n';
            i += (i + 1 < raw.size() && raw[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        if (c == '\0' && decoding != Decoding::DataText) {
            out += kReplacement;
        } else {
            out += c;
        }
        ++i;
    }
    return out;
}

// Every tag and attribute has a name, and hardly one holds NUL. Written over `name`, whose room
// the tokenizer keeps from tag to tag.
void DecodeNameInto(std::string& name, std::string_view raw)
{
    name.assign(raw);
    bool nul = false;
    for (char& c : name) {
        nul |= c == '\0';
        c = AsciiLower(c);
    }
    if (!nul) return;
    name.clear();
    for (const char c : raw) {
        if (c == '\0') {
            name += kReplacement;
        } else {
            name += AsciiLower(c);
        }
    }
}

// Most tags have a few attributes and none twice: that is seen without allocating.
bool FewAndDistinct(const std::vector<Attribute>& attributes)
{
    constexpr std::size_t kFew = 8;
    if (attributes.size() > kFew) return false;
    for (std::size_t i = 1; i < attributes.size(); ++i)
        for (std::size_t k = 0; k < i; ++k)
            if (attributes[i].name == attributes[k].name) return false;
    return true;
}

// Of attributes with the same name the first counts. Sorting keeps a tag with thousands of
// attributes from costing the square of their number.
void DropRepeatedAttributes(std::vector<Attribute>& attributes)
{
    if (FewAndDistinct(attributes)) return;
    std::vector<std::size_t> byName(attributes.size());
    std::iota(byName.begin(), byName.end(), std::size_t{0});
    std::stable_sort(byName.begin(), byName.end(),
                     [&](std::size_t a, std::size_t b) { return attributes[a].name < attributes[b].name; });
    std::vector<bool> repeated(attributes.size(), false);
    for (std::size_t k = 1; k < byName.size(); ++k)
        repeated[byName[k]] = attributes[byName[k]].name == attributes[byName[k - 1]].name;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (repeated[i]) continue;
        if (kept != i) attributes[kept] = std::move(attributes[i]);
        ++kept;
    }
    attributes.resize(kept);
}

class Tokenizer {
public:
    Tokenizer(std::string_view input, const std::function<void(Token&&)>& take) : in_(input), take_(take) {}

    void Run()
    {
        while (pos_ < in_.size()) {
            switch (model_) {
            case ContentModel::Data: ReadData(); break;
            case ContentModel::EscapableRawText: ReadRawText(Decoding::EscapableRawText); break;
            case ContentModel::RawText: ReadRawText(Decoding::RawText); break;
            case ContentModel::ScriptData: ReadScript(); break;
            case ContentModel::PlainText: ReadPlainText(); break;
            }
        }
    }

private:
    bool AtEnd(std::size_t at) const { return at >= in_.size(); }
    char At(std::size_t at) const { return at < in_.size() ? in_[at] : '\0'; }

    void PushText(std::size_t begin, std::size_t end, Decoding decoding)
    {
        if (begin == end) return;
        Token text;
        text.kind = TokenKind::Text;
        text.range = {begin, end};
        text.data = Decode(in_.substr(begin, end - begin), decoding);
        take_(std::move(text));
    }

    void PushComment(std::size_t begin, std::size_t end, std::string data)
    {
        Token comment;
        comment.kind = TokenKind::Comment;
        comment.range = {begin, end};
        comment.data = std::move(data);
        take_(std::move(comment));
    }

    // A '<' in data that opens markup; any other '<' is text.
    bool OpensMarkup(std::size_t lt) const
    {
        const char next = At(lt + 1);
        if (AtEnd(lt + 1)) return false;
        if (IsAsciiAlpha(next) || next == '!' || next == '?') return true;
        return next == '/' && !AtEnd(lt + 2);
    }

    void ReadData()
    {
        std::size_t lt = in_.find('<', pos_);
        while (lt != std::string_view::npos && !OpensMarkup(lt)) lt = in_.find('<', lt + 1);
        const std::size_t end = lt == std::string_view::npos ? in_.size() : lt;
        PushText(pos_, end, Decoding::DataText);
        pos_ = end;
        if (!AtEnd(pos_)) ReadMarkup();
    }

    void ReadMarkup()
    {
        const std::size_t lt = pos_;
        const char next = At(lt + 1);
        if (IsAsciiAlpha(next)) return ReadTag(lt, lt + 1, TokenKind::StartTag);
        if (next == '!') return ReadMarkupDeclaration(lt);
        if (next == '?') return ReadBogusComment(lt, lt + 1);
        // "</": an end tag, nothing at all for "</>", else a comment of what follows.
        const char afterSlash = At(lt + 2);
        if (IsAsciiAlpha(afterSlash)) return ReadTag(lt, lt + 2, TokenKind::EndTag);
        if (afterSlash == '>') {
            pos_ = lt + 3;
            return;
        }
        ReadBogusComment(lt, lt + 2);
    }

    // An end tag for the element whose text is being read ("</title" and a space, '/' or '>').
    bool IsClosingTagAt(std::size_t lt) const
    {
        if (At(lt) != '<' || At(lt + 1) != '/') return false;
        const std::size_t nameStart = lt + 2;
        if (AtEnd(nameStart + closing_.size())) return false;
        if (!EqualsIgnoringAsciiCase(in_.substr(nameStart, closing_.size()), closing_)) return false;
        const char after = in_[nameStart + closing_.size()];
        return IsSpace(after) || after == '/' || after == '>';
    }

    void ReadRawText(Decoding decoding)
    {
        std::size_t lt = in_.find("</", pos_);
        while (lt != std::string_view::npos && !IsClosingTagAt(lt)) lt = in_.find("</", lt + 1);
        const std::size_t end = lt == std::string_view::npos ? in_.size() : lt;
        PushText(pos_, end, decoding);
        pos_ = end;
        if (!AtEnd(pos_)) ReadTag(end, end + 2, TokenKind::EndTag);
    }

    // "script" and then a space, '/' or '>': what opens and closes a script written inside an
    // HTML comment of a script (<!-- <script> ... </script> -->).
    bool IsScriptWordAt(std::size_t at) const
    {
        if (AtEnd(at + 6)) return false;
        const char after = in_[at + 6];
        return EqualsIgnoringAsciiCase(in_.substr(at, 6), "script") && (IsSpace(after) || after == '/' || after == '>');
    }

    // Where the script's own end tag starts. After "<!--" a script is "escaped": its end tag still
    // ends it, but a "<script>" there makes it "double escaped", where "</script>" only returns to
    // escaped; "-->" returns to plain script data from either.
    std::size_t FindScriptEnd(std::size_t from) const
    {
        ScriptEscape escape;
        for (std::size_t at = from; at < in_.size();) {
            if (in_[at] == '<' && escape.mode != ScriptEscape::Double && IsClosingTagAt(at)) return at;
            at += escape.mode == ScriptEscape::None ? StepInPlainScript(escape, at) : StepInEscapedScript(escape, at);
        }
        return in_.size();
    }

    struct ScriptEscape {
        enum Mode { None, Escaped, Double };
        Mode mode = None;
        int dashes = 0;  // just read, up to two
    };

    std::size_t StepInPlainScript(ScriptEscape& escape, std::size_t at) const
    {
        if (in_.substr(at, 4) != "<!--") return 1;
        escape = {ScriptEscape::Escaped, 2};
        return 4;
    }

    std::size_t StepInEscapedScript(ScriptEscape& escape, std::size_t at) const
    {
        const char c = in_[at];
        if (c == '-') {
            escape.dashes = escape.dashes < 2 ? escape.dashes + 1 : 2;
            return 1;
        }
        if (c == '>' && escape.dashes == 2) {
            escape = {ScriptEscape::None, 0};
            return 1;
        }
        escape.dashes = 0;
        if (c == '<' && escape.mode == ScriptEscape::Escaped && IsScriptWordAt(at + 1)) {
            escape.mode = ScriptEscape::Double;
            return 8;
        }
        if (c == '<' && escape.mode == ScriptEscape::Double && At(at + 1) == '/' && IsScriptWordAt(at + 2)) {
            escape.mode = ScriptEscape::Escaped;
            return 9;
        }
        return 1;
    }

    void ReadScript()
    {
        const std::size_t end = FindScriptEnd(pos_);
        PushText(pos_, end, Decoding::RawText);
        pos_ = end;
        if (!AtEnd(pos_)) ReadTag(end, end + 2, TokenKind::EndTag);
    }

    void ReadPlainText()
    {
        PushText(pos_, in_.size(), Decoding::RawText);
        pos_ = in_.size();
    }

    void SkipSpaces(std::size_t& at) const
    {
        while (!AtEnd(at) && IsSpace(in_[at])) ++at;
    }

    // A tag that the input ends inside is dropped with everything after it, as browsers do.
    void ReadTag(std::size_t lt, std::size_t nameStart, TokenKind kind)
    {
        // One token for every tag, so that its attributes' room is not allocated again for each.
        Token& tag = tag_;
        tag.kind = kind;
        tag.attributes.clear();
        tag.selfClosing = false;
        std::size_t at = nameStart;
        while (!AtEnd(at) && !IsSpace(in_[at]) && in_[at] != '/' && in_[at] != '>') ++at;
        DecodeNameInto(tag.name, in_.substr(nameStart, at - nameStart));
        if (!ReadAttributes(tag, at)) {
            pos_ = in_.size();
            return;
        }
        DropRepeatedAttributes(tag.attributes);
        tag.range = {lt, at};
        pos_ = at;
        if (kind == TokenKind::EndTag) {
            // An end tag's attributes and slash mean nothing to a browser.
            tag.attributes.clear();
            tag.selfClosing = false;
            model_ = ContentModel::Data;
        } else {
            model_ = ContentModelOf(tag.name);
            if (model_ != ContentModel::Data) closing_ = tag.name;
        }
        take_(std::move(tag));
    }

    // Reads up to and through the tag's '>'; false when the input ends first.
    bool ReadAttributes(Token& tag, std::size_t& at) const
    {
        while (true) {
            SkipSpaces(at);
            if (AtEnd(at)) return false;
            if (in_[at] == '>') {
                ++at;
                return true;
            }
            if (in_[at] == '/') {
                ++at;
                if (At(at) == '>' && !AtEnd(at)) {
                    tag.selfClosing = true;
                    ++at;
                    return true;
                }
                continue;
            }
            ReadAttribute(tag, at);
        }
    }

    void ReadAttribute(Token& tag, std::size_t& at) const
    {
        Attribute attribute;
        const std::size_t nameStart = at;
        // The first character belongs to the name whatever it is, even '='.
        ++at;
        while (!AtEnd(at) && !IsSpace(in_[at]) && in_[at] != '/' && in_[at] != '>' && in_[at] != '=') ++at;
        attribute.nameRange = {nameStart, at};
        DecodeNameInto(attribute.name, in_.substr(nameStart, at - nameStart));
        attribute.valueRange = {at, at};
        SkipSpaces(at);
        if (At(at) == '=' && !AtEnd(at)) {
            ++at;
            SkipSpaces(at);
            ReadAttributeValue(attribute, at);
        }
        tag.attributes.push_back(std::move(attribute));
    }

    void ReadAttributeValue(Attribute& attribute, std::size_t& at) const
    {
        if (AtEnd(at)) return;
        const char quote = in_[at];
        if (quote == '"' || quote == '\'') {
            const std::size_t close = in_.find(quote, at + 1);
            const std::size_t end = close == std::string_view::npos ? in_.size() : close;
            attribute.quoted = true;
            attribute.valueRange = {at + 1, end};
            at = close == std::string_view::npos ? in_.size() : close + 1;
        } else if (quote == '>') {
            attribute.valueRange = {at, at};
            return;
        } else {
            const std::size_t start = at;
            while (!AtEnd(at) && !IsSpace(in_[at]) && in_[at] != '>') ++at;
            attribute.valueRange = {start, at};
        }
        const ByteRange& raw = attribute.valueRange;
        attribute.value = Decode(in_.substr(raw.begin, raw.size()), Decoding::AttributeValue);
    }

    void ReadMarkupDeclaration(std::size_t lt)
    {
        const std::size_t open = lt + 2;
        if (in_.substr(open, 2) == "--") return ReadComment(lt, open + 2);
        if (EqualsIgnoringAsciiCase(in_.substr(open, 7), "doctype")) return ReadDoctype(lt, open + 7);
        // Anything else, "<![CDATA[" outside SVG and MathML included, is a comment up to the '>'.
        ReadBogusComment(lt, open);
    }

    void ReadBogusComment(std::size_t lt, std::size_t dataStart)
    {
        const std::size_t gt = in_.find('>', dataStart);
        const std::size_t dataEnd = gt == std::string_view::npos ? in_.size() : gt;
        pos_ = gt == std::string_view::npos ? in_.size() : gt + 1;
        PushComment(lt, pos_, Decode(in_.substr(dataStart, dataEnd - dataStart), Decoding::RawText));
    }

    // After "<!--". "<!-->" and "<!--->" are empty comments; otherwise the first "-->" or "--!>"
    // closes the comment, and every character before it, dashes included, is its text. Where the
    // input ends first, the dashes or "--!" that might have begun the close are not.
    void ReadComment(std::size_t lt, std::size_t bodyStart)
    {
        if (in_.substr(bodyStart, 1) == ">" || in_.substr(bodyStart, 2) == "->") {
            pos_ = in_.find('>', bodyStart) + 1;
            return PushComment(lt, pos_, {});
        }
        const std::size_t close = std::min(in_.find("-->", bodyStart), in_.find("--!>", bodyStart));
        if (close != std::string_view::npos) {
            pos_ = close + (in_[close + 2] == '!' ? 4 : 3);
            PushComment(lt, pos_, Decode(in_.substr(bodyStart, close - bodyStart), Decoding::RawText));
            return;
        }
        std::string_view body = in_.substr(bodyStart);
        if (body.ends_with("--!")) {
            body.remove_suffix(3);
        } else {
            for (int i = 0; i < 2 && body.ends_with('-'); ++i) body.remove_suffix(1);
        }
        pos_ = in_.size();
        PushComment(lt, pos_, Decode(body, Decoding::RawText));
    }

    // After "<!DOCTYPE": only the name is kept; the public and system identifiers, which export
    // does not need, stay in the token's range. A '>' ends a doctype wherever it is.
    void ReadDoctype(std::size_t lt, std::size_t afterKeyword)
    {
        const std::size_t gt = in_.find('>', afterKeyword);
        const std::size_t end = gt == std::string_view::npos ? in_.size() : gt;
        std::size_t nameStart = afterKeyword;
        SkipSpaces(nameStart);
        std::size_t nameEnd = nameStart;
        while (nameEnd < end && !IsSpace(in_[nameEnd])) ++nameEnd;
        Token doctype;
        doctype.kind = TokenKind::Doctype;
        DecodeNameInto(doctype.name, in_.substr(nameStart, nameEnd - nameStart));
        pos_ = gt == std::string_view::npos ? in_.size() : gt + 1;
        doctype.range = {lt, pos_};
        take_(std::move(doctype));
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    ContentModel model_ = ContentModel::Data;
    std::string closing_;  // the element whose raw text is being read
    Token tag_;
    const std::function<void(Token&&)>& take_;
};

} // namespace

const Attribute* Token::FindAttribute(std::string_view attributeName) const
{
    for (const Attribute& attribute : attributes)
        if (attribute.name == attributeName) return &attribute;
    return nullptr;
}

std::vector<Token> Tokenize(std::string_view html)
{
    std::vector<Token> tokens;
    TokenizeEach(html, [&](Token&& token) { tokens.push_back(std::move(token)); });
    return tokens;
}

void TokenizeEach(std::string_view html, const std::function<void(Token&&)>& take)
{
    Tokenizer(html, take).Run();
}

} // namespace tarnwick::html
