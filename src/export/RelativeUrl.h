// The link from one exported file to another, as a browser resolves it on disk.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::exporting {

// Both paths are files written under the export folder ("/"-separated UTF-8, relative to it, as
// OutputPath gives them). The shortest url from the first to the second: "../" up to the folders
// they share, then each segment percent-encoded (PercentEncodedSegment), so the url is ASCII and
// names no other file. The caller appends the fragment.
std::string RelativeUrl(std::string_view fromOutputPath, std::string_view toOutputPath);

} // namespace tarnwick::exporting
