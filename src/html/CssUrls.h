// The urls a CSS text refers to: url(...) and @import "...", in style sheets, <style> elements and
// style attributes, each with its raw place so that export can rewrite it.
#pragma once

#include "html/Tokenizer.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::html {

struct CssUrl {
    std::string value;   // CSS escapes decoded
    // The raw value: inside the quotes, or between the parentheses less the whitespace around it.
    ByteRange range;
    bool quoted = false;
    bool import = false;  // the target of an @import
};

// Comments and strings that are no url argument are skipped, and so are malformed unquoted urls
// (a quote, '(' or a space inside), which CSS itself ignores.
std::vector<CssUrl> FindCssUrls(std::string_view css);

} // namespace tarnwick::html
