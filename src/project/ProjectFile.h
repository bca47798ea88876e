// The project file (NAME.hhp) a help compiler reads: [OPTIONS], [WINDOWS], [FILES], [ALIAS] and
// [MAP]. Every name of a file is already in the code page the compiler reads names in, every other
// text as the help file keeps it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::project {

// Writes a file name found in the help file's texts as the project names that file: the name it
// has on disk, in the code page the compiler reads file names in.
using NameWriter = std::function<std::string(std::string_view reference)>;

struct ProjectOptions {
    std::string compiledFile;
    std::string contentsFile;
    std::string indexFile;
    std::string defaultTopic;
    std::string title;
    std::optional<std::uint32_t> language; // LCID
    std::string defaultWindow;
    std::string defaultFont;
    bool fullTextSearch = false;
    bool binaryContents = false;
    bool binaryIndex = false;
    std::string compatibility = "1.1 or later";
};

struct ProjectSections {
    ProjectOptions options;
    std::vector<std::string> windows; // whole lines: name="caption",...
    std::vector<std::string> files;   // "\"-separated, as the compiler's own projects list them
    std::vector<std::string> aliases; // whole lines: ID=file
    std::vector<std::string> map;     // whole lines: #define ID number
};

std::string ProjectFileText(const ProjectSections& project);

} // namespace tarnwick::project
