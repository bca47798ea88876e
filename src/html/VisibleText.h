// The text a reader sees on a page, for a plain-text export and for comparing with a browser's tree.
#pragma once

#include "html/Tokenizer.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick::html {

// Elements whose text a browser does not show: script, style, title, and the fallbacks iframe,
// noembed and noframes, which browsers that know those elements never display.
bool HidesItsText(std::string_view element);

// Elements that start and end on a line of their own (p, div, li, td...), and br: "a<p>b" reads
// "a b", not "ab".
bool BreaksText(std::string_view element);

// The text outside hidden elements, with a space where a breaking element starts or ends, each run
// of ASCII whitespace made one space, none at either end, and NUL dropped (browsers drop it from
// text).
std::string VisibleText(const std::vector<Token>& tokens);

// The same, from the tokens one at a time as the tokenizer hands them over.
class VisibleTextBuilder {
public:
    void Take(const Token& token);
    std::string Finish();
    // The same text with its whitespace as it came, for a reader that splits it into words anyway.
    std::string FinishUncollapsed() { return std::move(m_raw); }

private:
    void AppendWithoutNul(std::string_view text);

    std::string m_raw;
    bool m_afterHidingTag = false;
};

} // namespace tarnwick::html
