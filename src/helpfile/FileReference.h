// What a file name in a help file's own texts (a default topic, a page of the contents, the file of
// a context number) may mean: the help viewer finds "a\b.htm", "/a/b.htm" and "A/B.HTM#part" as
// the stream "a/b.htm", and a compiler that wrote the project's whole path ("/home/x/proj/a/b.htm")
// means the stream its tail names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::helpfile {

struct ReferencedPath {
    std::wstring path;      // "/"-separated, without a leading "/"; letter case as written
    std::wstring fragment;  // "#part" when the path is what comes before it, else empty
};

// The readings in the order to try them: the whole name, then without its "#part", then, for a
// name with a folder of its own ("/x/a.htm", "C:\x\a.htm"), each tail, longest first.
std::vector<ReferencedPath> ReferencedPaths(std::wstring_view reference);

} // namespace tarnwick::helpfile
