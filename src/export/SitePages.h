// The pages export writes beside a help file's own: the viewer (index.html), the keyword index
// and, for a run over several help files, the page that lists them. UTF-8, Chinese captions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::exporting {

// `contentsHtml` is a list whose links open in the frame named "topic".
std::string ViewerPage(std::string_view title, std::string_view contentsHtml, std::string_view defaultTopicUrl);
// keywords.html is written in pieces, as its list is made: this, the list, then kPageEnd.
std::string KeywordsPageStart(std::string_view title);
inline constexpr std::string_view kPageEnd = "</body>\n</html>\n";

struct ExportedHelpFile {
    std::string folder; // UTF-8, below the page
    std::string title;
    std::size_t pages = 0;
    std::size_t problems = 0;
};
std::string HelpFilesPage(const std::vector<ExportedHelpFile>& files);

// Text as HTML content or a quoted attribute value.
std::string EscapedHtml(std::string_view text);

} // namespace tarnwick::exporting
