#include "export/PageCharset.h"

#include "html/Ascii.h"

namespace tarnwick::exporting {
namespace {

struct CharsetLabel {
    std::string_view label;
    unsigned codePage;
};

// The labels help pages are written with, and the code pages the help viewer's system reads them
// in. GB18030 is read as GBK, its two-byte part, which every system here converts.
constexpr CharsetLabel kLabels[] = {
    {"utf-8", 65001},        {"utf8", 65001},         {"unicode-1-1-utf-8", 65001},
    {"gb2312", 936},         {"gbk", 936},            {"x-gbk", 936},
    {"cp936", 936},          {"chinese", 936},        {"csgb2312", 936},
    {"gb18030", 936},        {"big5", 950},           {"big5-hkscs", 950},
    {"x-x-big5", 950},       {"cn-big5", 950},        {"shift_jis", 932},
    {"shift-jis", 932},      {"sjis", 932},           {"x-sjis", 932},
    {"windows-31j", 932},    {"ms_kanji", 932},
    {"euc-kr", 949},         {"ks_c_5601-1987", 949}, {"windows-949", 949},
    {"iso-8859-1", 1252},    {"latin1", 1252},        {"us-ascii", 1252},
    {"windows-1250", 1250},  {"windows-1251", 1251},  {"windows-1252", 1252},
    {"windows-1253", 1253},  {"windows-1254", 1254},  {"windows-1255", 1255},
    {"windows-1256", 1256},  {"windows-1257", 1257},  {"windows-1258", 1258},
    {"windows-874", 874},
};

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

// "text/html; charset=gb2312" → "gb2312", as the algorithm for a meta content value reads it.
std::optional<std::string_view> CharsetOfContent(std::string_view content)
{
    for (std::size_t at = 0; at + 7 <= content.size(); ++at) {
        if (!html::EqualsIgnoringAsciiCase(content.substr(at, 7), "charset")) continue;
        std::string_view rest = Trimmed(content.substr(at + 7));
        if (rest.empty() || rest.front() != '=') continue;
        rest = Trimmed(rest.substr(1));
        if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'')) {
            const std::size_t close = rest.find(rest.front(), 1);
            return close == std::string_view::npos ? std::nullopt : std::optional(rest.substr(1, close - 1));
        }
        return rest.substr(0, rest.find_first_of("; \t\n\r\f"));
    }
    return std::nullopt;
}

} // namespace

std::optional<unsigned> CodePageOfCharset(std::string_view label)
{
    label = Trimmed(label);
    for (const CharsetLabel& known : kLabels)
        if (html::EqualsIgnoringAsciiCase(label, known.label)) return known.codePage;
    return std::nullopt;
}

std::optional<CharsetDeclaration> CharsetDeclarationOf(const html::Token& token)
{
    if (token.kind != html::TokenKind::StartTag || std::string_view(token.name) != "meta") return std::nullopt;
    if (const html::Attribute* charset = token.FindAttribute("charset"))
        return CharsetDeclaration{CodePageOfCharset(charset->value), charset->valueRange, false, charset->quoted};
    const html::Attribute* equiv = token.FindAttribute("http-equiv");
    const html::Attribute* content = token.FindAttribute("content");
    if (!equiv || !content || !html::EqualsIgnoringAsciiCase(Trimmed(equiv->value), "content-type")) return std::nullopt;
    const std::optional<std::string_view> label = CharsetOfContent(content->value);
    if (!label) return std::nullopt;
    return CharsetDeclaration{CodePageOfCharset(*label), content->valueRange, true, content->quoted};
}

} // namespace tarnwick::exporting
