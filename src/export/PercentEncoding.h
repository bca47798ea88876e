// %XX in the paths of links, both ways: read back to a stream's name, written so that a browser
// opening the exported pages from disk finds the file.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::exporting {

// Each run of %XX becomes its bytes: kept when they are well-formed UTF-8, else read as text in
// `codePage` (pages written on a Chinese system escape their GBK names). A % that starts no escape
// stays as it is.
std::string PercentDecoded(std::string_view text, unsigned codePage);

// One path segment as a url may carry it: letters, digits and "-._~!$*+,;=@" stay; every other
// byte becomes %XX. Besides what a url needs (%, #, ?, space, control characters, every byte of a
// non-ASCII character), that covers ":" (a first segment would read as a scheme), "\" (which
// browsers read as "/"), and the quotes, "&", "<", ">" and parentheses, so the url goes into an
// HTML attribute or a CSS url() as it is.
std::string PercentEncodedSegment(std::string_view segment);

} // namespace tarnwick::exporting
