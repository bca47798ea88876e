#include "html/Links.h"

#include "html/Ascii.h"

#include <algorithm>
#include <array>

namespace tarnwick::html {

namespace {

void AddLink(std::vector<Link>& links, const Token& tag, const Attribute& attribute)
{
    links.push_back({tag.name, attribute.name, attribute.value, attribute.valueRange, attribute.quoted});
}

void AddFileParameter(std::vector<Link>& links, const Token& param)
{
    const Attribute* name = param.FindAttribute("name");
    const Attribute* value = param.FindAttribute("value");
    if (name != nullptr && value != nullptr && IsFileParameter(name->value)) AddLink(links, param, *value);
}

} // namespace

bool IsUrlAttribute(std::string_view attributeName)
{
    static constexpr std::array<std::string_view, 10> kNames = {
        "href", "src", "background", "data", "action", "codebase", "longdesc", "usemap", "cite", "poster"};
    return std::find(kNames.begin(), kNames.end(), attributeName) != kNames.end();
}

bool IsFileParameter(std::string_view parameterName)
{
    static constexpr std::array<std::string_view, 4> kNames = {"local", "url", "merge", "imagelist"};
    return std::any_of(kNames.begin(), kNames.end(),
                       [&](std::string_view name) { return EqualsIgnoringAsciiCase(parameterName, name); });
}

void AppendLinks(const Token& token, std::vector<Link>& links)
{
    if (token.kind != TokenKind::StartTag) return;
    for (const Attribute& attribute : token.attributes)
        if (IsUrlAttribute(attribute.name)) AddLink(links, token, attribute);
    if (std::string_view(token.name) == "param") AddFileParameter(links, token);
}

std::vector<Link> FindLinks(const std::vector<Token>& tokens)
{
    std::vector<Link> links;
    for (const Token& token : tokens) AppendLinks(token, links);
    return links;
}

} // namespace tarnwick::html
