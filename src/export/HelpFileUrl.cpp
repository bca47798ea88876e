#include "export/HelpFileUrl.h"

#include "export/PageNames.h"

namespace tarnwick::exporting {
namespace {

constexpr std::string_view kSeparator = "::";

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsSchemeCharacter(char c)
{
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

std::size_t SchemeLength(std::string_view url)
{
    if (url.empty() || !IsLetter(url[0])) return 0;
    std::size_t length = 1;
    while (length < url.size() && IsSchemeCharacter(url[length])) ++length;
    return length < url.size() && url[length] == ':' ? length : 0;
}

bool StartsWithFolded(std::string_view text, std::string_view foldedPrefix)
{
    return text.size() >= foldedPrefix.size() && FoldedCase(text.substr(0, foldedPrefix.size())) == foldedPrefix;
}

HelpFileUrl Split(std::string_view fileAndPage)
{
    const std::size_t separator = fileAndPage.find(kSeparator);
    if (separator == std::string_view::npos) return {fileAndPage, {}};
    return {fileAndPage.substr(0, separator), fileAndPage.substr(separator + kSeparator.size())};
}

std::optional<HelpFileUrl> ReadShortForm(std::string_view url)
{
    const std::size_t separator = url.find(kSeparator);
    if (separator == std::string_view::npos) return std::nullopt;
    const std::string_view file = url.substr(0, separator);
    if (!FoldedCase(file).ends_with(".chm") || SchemeLength(file) > 1) return std::nullopt;
    return Split(url);
}

} // namespace

std::optional<HelpFileUrl> ReadHelpFileUrl(std::string_view url)
{
    for (const std::string_view scheme : {"ms-its:", "mk:@msitstore:", "its:"})
        if (StartsWithFolded(url, scheme)) return Split(url.substr(scheme.size()));
    return ReadShortForm(url);
}

std::string_view BaseName(std::string_view file)
{
    const std::size_t slash = file.find_last_of("/\\");
    return slash == std::string_view::npos ? file : file.substr(slash + 1);
}

bool StartsWithScheme(std::string_view url) { return SchemeLength(url) > 0; }

} // namespace tarnwick::exporting
