// The attribute values of a page that name other files: what export rewrites.
#pragma once

#include "html/Tokenizer.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::html {

struct Link {
    std::string element;    // "a", "img", "param"...
    std::string attribute;  // "href", "src"...; "value" for a sitemap parameter
    std::string value;      // decoded
    ByteRange range;        // the raw value in the page, without quotes
    bool quoted = false;
};

// href, src, background, data, action, codebase, longdesc, usemap, cite and poster, on any element.
bool IsUrlAttribute(std::string_view attributeName);

// The sitemap parameters (<param name="Local" value="...">, in .hhc/.hhk pages and topic pages'
// objects) whose value names a file: Local, URL, Merge (another help file's contents) and
// ImageList (the bitmap of the contents' icons). ImageNumber is an index into that bitmap, not a
// file, and stays out. Compared without regard to ASCII case, as the help viewer reads them.
bool IsFileParameter(std::string_view parameterName);

// In the order of the page, each start tag's links in the order of its attributes.
std::vector<Link> FindLinks(const std::vector<Token>& tokens);
// The links of one token, appended.
void AppendLinks(const Token& token, std::vector<Link>& links);

} // namespace tarnwick::html
