#include "export/PercentEncoding.h"

#include "base/Utf8.h"
#include "helpfile/CodePageText.h"

#include <cstring>

namespace tarnwick::exporting {
namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsEscape(std::string_view text, std::size_t at)
{
    return text[at] == '%' && at + 2 < text.size() && HexValue(text[at + 1]) >= 0 && HexValue(text[at + 2]) >= 0;
}

void AppendRun(std::string& out, const std::string& bytes, unsigned codePage)
{
    if (IsWellFormedUtf8(bytes))
        out += bytes;
    else
        AppendUtf8(out, helpfile::WideFromCodePage(bytes, codePage));
}

bool StaysInSegment(unsigned char c)
{
    const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    return alphanumeric || (c != 0 && std::strchr("-._~!$*+,;=@", c) != nullptr);
}

} // namespace

std::string PercentDecoded(std::string_view text, unsigned codePage)
{
    std::string out;
    std::string run;
    for (std::size_t i = 0; i < text.size();) {
        if (StartsEscape(text, i)) {
            run.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 3;
            continue;
        }
        if (!run.empty()) AppendRun(out, run, codePage);
        run.clear();
        out.push_back(text[i++]);
    }
    if (!run.empty()) AppendRun(out, run, codePage);
    return out;
}

std::string PercentEncodedSegment(std::string_view segment)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(segment.size());
    for (const char c : segment) {
        const auto byte = static_cast<unsigned char>(c);
        if (StaysInSegment(byte)) {
            out.push_back(c);
            continue;
        }
        out.push_back('%');
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0xF]);
    }
    return out;
}

} // namespace tarnwick::exporting
