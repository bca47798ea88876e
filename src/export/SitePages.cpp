#include "export/SitePages.h"

#include "export/PercentEncoding.h"
#include "html/EscapedText.h"

namespace tarnwick::exporting {
namespace {

constexpr std::string_view kStyle = R"(<style>
html, body { height: 100%; margin: 0; }
body { display: flex; font: 14px/1.5 sans-serif; }
#side { width: 22em; min-width: 10em; resize: horizontal; overflow: auto; border-right: 1px solid #ccc; padding: 0.5em; }
#side ul { list-style: none; margin: 0; padding-left: 1.2em; }
#side > nav > ul { padding-left: 0; }
#side summary { cursor: pointer; }
#side a { text-decoration: none; }
#side a:hover { text-decoration: underline; }
#search { width: 100%; box-sizing: border-box; }
#topic { flex: 1; border: 0; height: 100%; }
</style>
)";

// The search box searches as the user types; "index.html?q=WORDS" opens with a search made.
constexpr std::string_view kSearchHook = R"(<script>
(function () {
  var input = document.getElementById('search');
  tarnwickSearchInto(input, document.getElementById('results'));
  var query = /[?&]q=([^&]*)/.exec(location.search);
  if (query) {
    input.value = decodeURIComponent(query[1].replace(/\+/g, ' '));
    input.dispatchEvent(new Event('input'));
  }
})();
</script>
)";

std::string Head(std::string_view title)
{
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + EscapedHtml(title) +
           "</title>\n" + std::string(kStyle) + "</head>\n";
}

} // namespace

std::string EscapedHtml(std::string_view text)
{
    std::string out;
    html::AppendEscaped(out, text);
    return out;
}

std::string ViewerPage(std::string_view title, std::string_view contentsHtml, std::string_view defaultTopicUrl)
{
    std::string page = Head(title);
    page += "<body>\n<div id=\"side\">\n";
    page += "<input id=\"search\" type=\"search\" placeholder=\"搜索\" autocomplete=\"off\">\n";
    page += "<div id=\"results\"></div>\n";
    page += "<p><a href=\"keywords.html\" target=\"topic\">索引</a></p>\n";
    page += "<nav>\n";
    page += contentsHtml;
    page += "</nav>\n</div>\n";
    page += "<iframe id=\"topic\" name=\"topic\" src=\"" + EscapedHtml(defaultTopicUrl) + "\"></iframe>\n";
    page += "<script src=\"search-index.js\"></script>\n<script src=\"search.js\"></script>\n";
    page += kSearchHook;
    page += kPageEnd;
    return page;
}

std::string KeywordsPageStart(std::string_view title)
{
    return Head(std::string(title) + " - 索引") + "<body>\n<h1>索引</h1>\n";
}

std::string HelpFilesPage(const std::vector<ExportedHelpFile>& files)
{
    std::string page = Head("帮助文件");
    page += "<body>\n<h1>帮助文件</h1>\n<ul>\n";
    for (const ExportedHelpFile& file : files) {
        const std::string title = file.title.empty() ? file.folder : file.title;
        page += "<li><a href=\"" + PercentEncodedSegment(file.folder) + "/index.html\">" + EscapedHtml(title) + "</a> (" +
                std::to_string(file.pages) + " 个页面";
        if (file.problems > 0) page += ", 问题 " + std::to_string(file.problems) + " 项";
        page += ")</li>\n";
    }
    page += "</ul>\n</body>\n</html>\n";
    return page;
}

} // namespace tarnwick::exporting
