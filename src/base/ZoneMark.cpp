#include "base/ZoneMark.h"

#include <algorithm>
#include <cctype>

namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameWord(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
}

std::optional<int> Number(std::string_view digits)
{
    if (digits.empty() || digits.size() > 9 || !std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    for (const char digit : digits) value = value * 10 + (digit - '0');
    return value;
}

} // namespace

std::optional<int> ZoneOfMark(std::string_view mark)
{
    // The mark is an ini file: a key counts only inside its own section.
    bool inZoneTransfer = false;
    while (!mark.empty()) {
        const std::size_t end = std::min(mark.find('\n'), mark.size());
        const std::string_view line = Trimmed(mark.substr(0, end));
        mark.remove_prefix(std::min(end + 1, mark.size()));
        if (line.starts_with('[')) {
            inZoneTransfer = SameWord(line, "[ZoneTransfer]");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inZoneTransfer && equals != std::string_view::npos && SameWord(Trimmed(line.substr(0, equals)), "ZoneId"))
            return Number(Trimmed(line.substr(equals + 1)));
    }
    return std::nullopt;
}
