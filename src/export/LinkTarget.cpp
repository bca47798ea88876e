#include "export/LinkTarget.h"

#include "export/HelpFileUrl.h"
#include "export/PercentEncoding.h"

#include <vector>

namespace tarnwick::exporting {
namespace {

LinkTarget OfKind(LinkKind kind)
{
    LinkTarget target;
    target.kind = kind;
    return target;
}

bool IsSlash(char c) { return c == '/' || c == '\\'; }

// As a url parser reads an attribute: spaces and control characters around it dropped, tabs and
// line breaks inside it too.
std::string Cleaned(std::string_view href)
{
    while (!href.empty() && static_cast<unsigned char>(href.front()) <= ' ') href.remove_prefix(1);
    while (!href.empty() && static_cast<unsigned char>(href.back()) <= ' ') href.remove_suffix(1);
    std::string cleaned;
    for (const char c : href)
        if (c != '\t' && c != '\n' && c != '\r') cleaned.push_back(c);
    return cleaned;
}

// A stream is the same whatever query follows its name, and the exported page is a file on disk
// that no server reads a query for: the query takes no part in finding the file, nor in the
// rewritten link.
std::string_view WithoutQuery(std::string_view path) { return path.substr(0, path.find('?')); }

std::vector<std::string> FolderOf(std::string_view page)
{
    std::vector<std::string> folders;
    for (std::size_t slash = page.find_first_of("/\\"); slash != std::string_view::npos;
         slash = page.find_first_of("/\\")) {
        if (slash > 0) folders.emplace_back(page.substr(0, slash));
        page.remove_prefix(slash + 1);
    }
    return folders;
}

void Step(std::vector<std::string>& segments, std::string segment)
{
    // ".." past the root stays at the root, as a browser resolves urls.
    if (segment == "..") {
        if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
        segments.push_back(std::move(segment));
    }
}

// Segments split before their escapes are read, so "%2F" stays part of a name, and "%2E%2E"
// still climbs, as it does for a browser. A link is a url, not one of the names of the help file's
// own texts that helpfile::ReferencedPaths reads: there "#" may belong to a name and a compiler's
// whole path is found by its tails, while in a page "#" always starts the fragment and "/x/a.htm"
// means that folder and no other.
std::string Resolved(std::vector<std::string> segments, std::string_view path, unsigned codePage)
{
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = path.size();
        Step(segments, PercentDecoded(path.substr(start, end - start), codePage));
        start = end + 1;
    }
    std::string joined;
    for (const std::string& segment : segments) {
        if (!joined.empty()) joined.push_back('/');
        joined += segment;
    }
    return joined;
}

LinkTarget Looked(const PageNames& names, std::string path, std::string fragment)
{
    const std::optional<std::size_t> entry = names.Find(path);
    if (!entry) return {LinkKind::Broken, 0, std::move(path), {}};
    return {LinkKind::Internal, *entry, std::move(path), std::move(fragment)};
}

// The page after "::" is named from the help file's root, with or without a leading "/". A link
// to this file without a page means its default topic, which the names do not know: listed.
LinkTarget InHelpFile(const PageNames& names, const HelpFileUrl& url, std::string fragment)
{
    if (!names.IsOwnFile(PercentDecoded(BaseName(url.file), names.CodePage()))) return OfKind(LinkKind::OtherHelpFile);
    return Looked(names, Resolved({}, WithoutQuery(url.page), names.CodePage()), std::move(fragment));
}

} // namespace

LinkTarget ResolveLink(const PageNames& names, std::string_view fromPage, std::string_view href)
{
    const std::string url = Cleaned(href);
    const std::size_t hash = url.find('#');
    std::string fragment = hash == std::string::npos ? std::string() : url.substr(hash);
    const std::string_view beforeFragment = std::string_view(url).substr(0, hash);

    if (const std::optional<HelpFileUrl> helpFile = ReadHelpFileUrl(beforeFragment))
        return InHelpFile(names, *helpFile, std::move(fragment));
    const bool networkPath = beforeFragment.size() > 1 && IsSlash(beforeFragment[0]) && IsSlash(beforeFragment[1]);
    if (StartsWithScheme(beforeFragment) || networkPath) return OfKind(LinkKind::External);

    const std::string_view path = WithoutQuery(beforeFragment);
    if (path.empty()) return {LinkKind::SamePage, 0, {}, std::move(fragment)};
    std::vector<std::string> start = IsSlash(path[0]) ? std::vector<std::string>() : FolderOf(fromPage);
    return Looked(names, Resolved(std::move(start), path, names.CodePage()), std::move(fragment));
}

} // namespace tarnwick::exporting
