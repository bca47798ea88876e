#include "project/ProjectFile.h"

#include <cstdio>

namespace tarnwick::project {

namespace {

// Texts from the help file end at their NUL, not at a line break: one inside a value would start
// a line of its own in the project ("[FILES]" and names of its choosing).
std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

void AppendOption(std::string& text, const char* key, const std::string& value)
{
    if (value.empty()) return;
    text += key;
    text += '=';
    text += OneLine(value);
    text += "\r\n";
}

const char* YesNo(bool value) { return value ? "Yes" : "No"; }

std::string LanguageValue(std::uint32_t lcid)
{
    char value[16];
    std::snprintf(value, sizeof value, "0x%x", static_cast<unsigned>(lcid));
    return value;
}

void AppendSection(std::string& text, const char* heading, const std::vector<std::string>& lines)
{
    if (lines.empty()) return;
    text += "\r\n";
    text += heading;
    text += "\r\n";
    for (const std::string& line : lines) text += OneLine(line) + "\r\n";
}

} // namespace

std::string ProjectFileText(const ProjectSections& project)
{
    const ProjectOptions& options = project.options;
    std::string text = "[OPTIONS]\r\n";
    AppendOption(text, "Compatibility", options.compatibility);
    AppendOption(text, "Compiled file", options.compiledFile);
    AppendOption(text, "Contents file", options.contentsFile);
    AppendOption(text, "Index file", options.indexFile);
    AppendOption(text, "Default topic", options.defaultTopic);
    AppendOption(text, "Title", options.title);
    if (options.language) AppendOption(text, "Language", LanguageValue(*options.language));
    AppendOption(text, "Default Window", options.defaultWindow);
    AppendOption(text, "Default Font", options.defaultFont);
    AppendOption(text, "Full-text search", YesNo(options.fullTextSearch));
    AppendOption(text, "Binary TOC", YesNo(options.binaryContents));
    AppendOption(text, "Binary Index", YesNo(options.binaryIndex));
    AppendSection(text, "[WINDOWS]", project.windows);
    AppendSection(text, "[FILES]", project.files);
    AppendSection(text, "[ALIAS]", project.aliases);
    AppendSection(text, "[MAP]", project.map);
    return text;
}

} // namespace tarnwick::project
