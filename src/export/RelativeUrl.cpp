#include "export/RelativeUrl.h"

#include "export/PercentEncoding.h"

#include <vector>

namespace tarnwick::exporting {
namespace {

std::vector<std::string_view> Segments(std::string_view path)
{
    std::vector<std::string_view> segments;
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find('/', start);
        segments.push_back(path.substr(start, slash - start));
        if (slash == std::string_view::npos) return segments;
        start = slash + 1;
    }
}

} // namespace

std::string RelativeUrl(std::string_view fromOutputPath, std::string_view toOutputPath)
{
    const std::vector<std::string_view> from = Segments(fromOutputPath);
    const std::vector<std::string_view> to = Segments(toOutputPath);
    // Folders only: the last segment of each is a file.
    std::size_t shared = 0;
    while (shared + 1 < from.size() && shared + 1 < to.size() && from[shared] == to[shared]) ++shared;

    std::string url;
    for (std::size_t up = shared + 1; up < from.size(); ++up) url += "../";
    for (std::size_t i = shared; i < to.size(); ++i) {
        if (i > shared) url.push_back('/');
        url += PercentEncodedSegment(to[i]);
    }
    return url;
}

} // namespace tarnwick::exporting
