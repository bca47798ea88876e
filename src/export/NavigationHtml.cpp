#include "export/NavigationHtml.h"

#include "html/EscapedText.h"

namespace tarnwick::exporting {

namespace {

// An untitled item or topic is shown by its file, so that its link can still be clicked.
std::string_view ShownTitle(std::string_view title, const std::vector<NavigationLink>& links)
{
    return title.empty() && !links.empty() ? std::string_view(links.front().local) : title;
}

// A link when the local maps to a url, else the title as plain text.
void AppendLinkOrText(std::string& html, std::string_view title, const std::string* local, const UrlOf& urlOf)
{
    const std::optional<std::string> url = local ? urlOf(*local) : std::nullopt;
    if (!url) return html::AppendEscaped(html, title);
    html += "<a href=\"";
    html::AppendEscaped(html, *url);
    html += "\" target=\"topic\">";
    html::AppendEscaped(html, title);
    html += "</a>";
}

const std::string* FirstLocal(const NavigationItem& item) { return item.links.empty() ? nullptr : &item.links.front().local; }

void AppendContents(std::string& html, const std::vector<NavigationItem>& items, const UrlOf& urlOf)
{
    html += "<ul>\n";
    for (const NavigationItem& item : items) {
        const std::string_view title = ShownTitle(item.title, item.links);
        html += "<li>";
        if (item.children.empty()) {
            AppendLinkOrText(html, title, FirstLocal(item), urlOf);
        } else {
            html += "<details><summary>";
            AppendLinkOrText(html, title, FirstLocal(item), urlOf);
            html += "</summary>\n";
            AppendContents(html, item.children, urlOf);
            html += "</details>";
        }
        html += "</li>\n";
    }
    html += "</ul>\n";
}

void AppendKeywords(std::string& html, const std::vector<NavigationItem>& items, const UrlOf& urlOf);

// Each topic of a keyword with several, under the title its Name gave, else the keyword's.
void AppendTopics(std::string& html, const NavigationItem& keyword, const UrlOf& urlOf)
{
    for (const NavigationLink& link : keyword.links) {
        html += "<li>";
        AppendLinkOrText(html, link.title.empty() ? std::string_view(keyword.title) : link.title, &link.local, urlOf);
        html += "</li>\n";
    }
}

void AppendKeyword(std::string& html, const NavigationItem& keyword, const UrlOf& urlOf)
{
    const std::string_view title = ShownTitle(keyword.title, keyword.links);
    const bool severalTopics = keyword.links.size() > 1;
    html += "<li>";
    AppendLinkOrText(html, title, severalTopics ? nullptr : FirstLocal(keyword), urlOf);
    if (!keyword.seeAlso.empty()) {
        html += ", see ";
        html::AppendEscaped(html, keyword.seeAlso);
    }
    if (severalTopics) {
        html += "\n<ul>\n";
        AppendTopics(html, keyword, urlOf);
        html += "</ul>\n";
    }
    if (!keyword.children.empty()) {
        html += "\n";
        AppendKeywords(html, keyword.children, urlOf);
    }
    html += "</li>\n";
}

void AppendKeywords(std::string& html, const std::vector<NavigationItem>& items, const UrlOf& urlOf)
{
    html += "<ul>\n";
    for (const NavigationItem& item : items) AppendKeyword(html, item, urlOf);
    html += "</ul>\n";
}

} // namespace

std::string ContentsHtml(const NavigationItem& root, const UrlOf& urlOf)
{
    std::string html;
    if (!root.children.empty()) AppendContents(html, root.children, urlOf);
    return html;
}

std::string KeywordsHtml(const NavigationItem& root, const UrlOf& urlOf)
{
    std::string html;
    if (!root.children.empty()) AppendKeywords(html, root.children, urlOf);
    return html;
}

} // namespace tarnwick::exporting
