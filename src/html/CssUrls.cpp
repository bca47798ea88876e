#include "html/CssUrls.h"

#include "html/Ascii.h"
#include "html/CharacterReferences.h"

#include <optional>
#include <utility>

namespace tarnwick::html {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsCssSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsNewline(char c) { return c == '\n' || c == '\r' || c == '\f'; }
bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsNameCharacter(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           byte >= 0x80;
}
// Control characters end an unquoted url as malformed.
bool IsNonPrintable(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte <= 0x08 || byte == 0x0B || (byte >= 0x0E && byte <= 0x1F) || byte == 0x7F;
}
int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    return AsciiLower(c) - 'a' + 10;
}

class CssScanner {
public:
    explicit CssScanner(std::string_view css) : in_(css) {}

    std::vector<CssUrl> Run()
    {
        while (pos_ < in_.size()) Step();
        return std::move(urls_);
    }

private:
    bool AtEnd() const { return pos_ >= in_.size(); }
    char Peek(std::size_t ahead = 0) const { return pos_ + ahead < in_.size() ? in_[pos_ + ahead] : '\0'; }
    bool IsValidEscape() const { return Peek() == '\\' && !(pos_ + 1 < in_.size() && IsNewline(in_[pos_ + 1])); }

    void Step()
    {
        const char c = in_[pos_];
        if (c == '/' && Peek(1) == '*') return SkipComment();
        if (c == '"' || c == '\'') {
            ReadString();
            return;
        }
        if (c == '@' || c == '#') {
            ++pos_;
            const std::string name = ReadWord();
            if (c == '@' && EqualsIgnoringAsciiCase(name, "import")) ReadImportTarget();
            return;
        }
        if (IsNameCharacter(c) || IsValidEscape()) {
            const std::string word = ReadWord();
            if (Peek() == '(' && !AtEnd() && EqualsIgnoringAsciiCase(word, "url")) {
                ++pos_;
                ReadUrlArgument(false);
            }
            return;
        }
        ++pos_;
    }

    void SkipComment()
    {
        const std::size_t close = in_.find("*/", pos_ + 2);
        pos_ = close == std::string_view::npos ? in_.size() : close + 2;
    }

    void SkipSpacesAndComments()
    {
        while (!AtEnd()) {
            if (IsCssSpace(Peek())) {
                ++pos_;
            } else if (Peek() == '/' && Peek(1) == '*') {
                SkipComment();
            } else {
                return;
            }
        }
    }

    // After a '\' that is a valid escape: up to six hex digits and one optional space, or the
    // character itself.
    void AppendEscape(std::string& out)
    {
        ++pos_;
        if (AtEnd()) {
            AppendUtf8(out, kReplacementCharacter);
            return;
        }
        if (!IsHexDigit(Peek())) {
            out += in_[pos_++];
            return;
        }
        char32_t code = 0;
        for (int digits = 0; digits < 6 && IsHexDigit(Peek()) && !AtEnd(); ++digits) code = code * 16 + HexValue(in_[pos_++]);
        if (Peek() == '\r' && Peek(1) == '\n') {
            pos_ += 2;
        } else if (IsCssSpace(Peek()) && !AtEnd()) {
            ++pos_;
        }
        const bool invalid = code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF;
        AppendUtf8(out, invalid ? kReplacementCharacter : code);
    }

    void AppendPlain(std::string& out, char c)
    {
        if (c == '\0') {
            AppendUtf8(out, kReplacementCharacter);
        } else {
            out += c;
        }
        ++pos_;
    }

    std::string ReadWord()
    {
        std::string word;
        while (!AtEnd()) {
            if (IsValidEscape()) {
                AppendEscape(word);
            } else if (IsNameCharacter(Peek())) {
                word += in_[pos_++];
            } else {
                break;
            }
        }
        return word;
    }

    // At the opening quote. Empty when a line break ends the string before its quote: such a
    // string is malformed and names nothing.
    std::optional<CssUrl> ReadString()
    {
        const char quote = in_[pos_++];
        CssUrl url;
        url.quoted = true;
        url.range.begin = pos_;
        while (!AtEnd() && Peek() != quote) {
            if (IsNewline(Peek())) return std::nullopt;
            if (Peek() == '\\') {
                SkipLineContinuationOrEscape(url.value);
            } else {
                AppendPlain(url.value, Peek());
            }
        }
        url.range.end = pos_;
        if (!AtEnd()) ++pos_;
        return url;
    }

    void SkipLineContinuationOrEscape(std::string& out)
    {
        if (Peek(1) == '\r' && Peek(2) == '\n') {
            pos_ += 3;
        } else if (pos_ + 1 < in_.size() && IsNewline(in_[pos_ + 1])) {
            pos_ += 2;
        } else if (pos_ + 1 >= in_.size()) {
            ++pos_;
        } else {
            AppendEscape(out);
        }
    }

    void ReadImportTarget()
    {
        SkipSpacesAndComments();
        if (Peek() == '"' || Peek() == '\'') {
            std::optional<CssUrl> url = ReadString();
            if (url) Add(std::move(*url), true);
            return;
        }
        if (!IsNameCharacter(Peek()) && !IsValidEscape()) return;
        const std::string word = ReadWord();
        if (Peek() == '(' && !AtEnd() && EqualsIgnoringAsciiCase(word, "url")) {
            ++pos_;
            ReadUrlArgument(true);
        }
    }

    void Add(CssUrl url, bool import)
    {
        url.import = import;
        urls_.push_back(std::move(url));
    }

    // After "url(".
    void ReadUrlArgument(bool import)
    {
        while (IsCssSpace(Peek()) && !AtEnd()) ++pos_;
        if (Peek() == '"' || Peek() == '\'') {
            std::optional<CssUrl> url = ReadString();
            if (url) Add(std::move(*url), import);
            return;
        }
        std::optional<CssUrl> url = ReadUnquotedUrl();
        if (url) {
            Add(std::move(*url), import);
        } else {
            SkipBadUrl();
        }
    }

    // Up to and through the ')'; the input's end closes it too.
    std::optional<CssUrl> ReadUnquotedUrl()
    {
        CssUrl url;
        url.range = {pos_, pos_};
        while (!AtEnd()) {
            const char c = Peek();
            if (c == ')') {
                ++pos_;
                return url;
            }
            if (IsCssSpace(c)) {
                while (IsCssSpace(Peek()) && !AtEnd()) ++pos_;
                if (AtEnd() || Peek() == ')') continue;
                return std::nullopt;
            }
            if (c == '"' || c == '\'' || c == '(' || IsNonPrintable(c)) return std::nullopt;
            if (c == '\\') {
                if (!IsValidEscape()) return std::nullopt;
                AppendEscape(url.value);
            } else {
                AppendPlain(url.value, c);
            }
            url.range.end = pos_;
        }
        return url;
    }

    void SkipBadUrl()
    {
        while (!AtEnd() && Peek() != ')') {
            if (IsValidEscape()) {
                std::string ignored;
                AppendEscape(ignored);
            } else {
                ++pos_;
            }
        }
        if (!AtEnd()) ++pos_;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<CssUrl> urls_;
};

} // namespace

std::vector<CssUrl> FindCssUrls(std::string_view css)
{
    return CssScanner(css).Run();
}

} // namespace tarnwick::html
