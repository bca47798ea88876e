#include "project/SitemapWriter.h"

#include "html/EscapedText.h"

#include <algorithm>

namespace tarnwick::project {

SitemapWriter::SitemapWriter()
    : m_text("<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\r\n<HTML>\r\n<HEAD>\r\n<!-- Sitemap 1.0 -->\r\n"
             "</HEAD><BODY>\r\n")
{
}

void SitemapWriter::OpenTo(std::size_t lists)
{
    while (m_openLists > lists) {
        --m_openLists;
        m_text.append(m_openLists, '\t');
        m_text += "</UL>\r\n";
    }
    while (m_openLists < lists) {
        m_text.append(m_openLists, '\t');
        m_text += "<UL>\r\n";
        ++m_openLists;
    }
}

void SitemapWriter::Item(std::size_t depth, const SitemapParams& params)
{
    OpenTo(std::min(depth + 1, m_openLists + 1));
    const std::string indent(m_openLists, '\t');
    m_text += indent + "<LI> <OBJECT type=\"text/sitemap\">\r\n";
    for (const auto& [name, value] : params) {
        m_text += indent + "\t<param name=\"";
        m_text += name;
        m_text += "\" value=\"";
        html::AppendEscaped(m_text, value);
        m_text += "\">\r\n";
    }
    m_text += indent + "\t</OBJECT>\r\n";
}

std::string SitemapWriter::Finish()
{
    OpenTo(0);
    m_text += "</BODY></HTML>\r\n";
    return std::move(m_text);
}

} // namespace tarnwick::project
