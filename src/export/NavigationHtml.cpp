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

} // namespace

std::string ContentsHtml(const NavigationItem& root, const UrlOf& urlOf)
{
    std::string html;
    if (!root.children.empty()) AppendContents(html, root.children, urlOf);
    return html;
}

void KeywordsHtmlWriter::Open(NavigationItem&& keyword)
{
    if (!m_listBegun.back()) m_html += m_listBegun.size() > 1 ? "\n<ul>\n" : "<ul>\n";
    m_listBegun.back() = true;
    m_listBegun.push_back(false);
    const std::string_view title = ShownTitle(keyword.title, keyword.links);
    const bool severalTopics = keyword.links.size() > 1;
    m_html += "<li>";
    AppendLinkOrText(m_html, title, severalTopics ? nullptr : FirstLocal(keyword), m_urlOf);
    if (!keyword.seeAlso.empty()) {
        m_html += ", see ";
        html::AppendEscaped(m_html, keyword.seeAlso);
    }
    if (severalTopics) {
        m_html += "\n<ul>\n";
        AppendTopics(keyword);
        m_html += "</ul>\n";
    }
}

// Each topic of a keyword with several, under the title its Name gave, else the keyword's.
void KeywordsHtmlWriter::AppendTopics(const NavigationItem& keyword)
{
    for (const NavigationLink& link : keyword.links) {
        m_html += "<li>";
        AppendLinkOrText(m_html, link.title.empty() ? std::string_view(keyword.title) : link.title, &link.local, m_urlOf);
        m_html += "</li>\n";
    }
}

void KeywordsHtmlWriter::Close()
{
    if (m_listBegun.back()) m_html += "</ul>\n";
    m_listBegun.pop_back();
    m_html += "</li>\n";
    if (m_html.size() < kPieceBytes) return;
    m_sink(m_html);
    m_html.clear();
}

void KeywordsHtmlWriter::Finish()
{
    if (m_listBegun.front()) m_html += "</ul>\n";
    if (!m_html.empty()) m_sink(m_html);
    m_html.clear();
}

std::string KeywordsHtml(std::string_view sitemap, const UrlOf& urlOf)
{
    std::string html;
    KeywordsHtmlWriter writer(urlOf, [&html](std::string_view piece) { html += piece; });
    ParseSitemap(sitemap, writer);
    writer.Finish();
    return html;
}

} // namespace tarnwick::exporting
