// The help viewer's own urls for a page inside a help file: "ms-its:FILE.chm::/a.htm",
// "mk:@MSITStore:FILE.chm::/a.htm", "its:FILE.chm::/a.htm", and the short "FILE.chm::/a.htm".
// FILE may carry a folder ("C:\dir\FILE.chm").
#pragma once

#include <optional>
#include <string_view>

namespace tarnwick::exporting {

struct HelpFileUrl {
    std::string_view file;  // as written, folder and escapes included
    std::string_view page;  // what follows "::", empty when nothing does
};

// Nothing for any other url. The short form needs "::" after a name ending in ".chm" and no scheme
// before it but a drive letter: "http://x/a.chm::/b.htm" is a web address.
std::optional<HelpFileUrl> ReadHelpFileUrl(std::string_view url);

// The part after the last "/" or "\".
std::string_view BaseName(std::string_view file);

// "x:", "mailto:"...: a scheme as urls have it, which for one letter is a Windows drive.
bool StartsWithScheme(std::string_view url);

} // namespace tarnwick::exporting
