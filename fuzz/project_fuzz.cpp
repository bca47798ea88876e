// libFuzzer entry point for the project reconstruction: any bytes are opened as a help file from
// memory, its listing walked, and its project written into a file system held in memory: the
// binary contents, the keyword index, #IVB, #SYSTEM and #WINDOWS all parsed from hostile bytes.
// Traps when a written file lands outside the target folder or under a name Windows would read
// as something else, when the project file itself is not written, when it lists a file that
// would be looked for outside the target, maps a context number it gives no file, or reports in
// anything but UTF-8.
#include "base/Utf8.h"
#include "ContainedPaths.h"
#include "HelpFileBytes.h"
#include "project/ProjectWriter.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const std::wstring kTarget = L"/project";


class KeptFile final : public IOutputFile {
public:
    explicit KeptFile(std::string& bytes) : m_bytes(bytes) {}
    bool Write(std::span<const std::uint8_t> bytes, FileError&) override
    {
        m_bytes.append(bytes.begin(), bytes.end());
        return true;
    }
    bool Close(FileError&) override { return true; }

private:
    std::string& m_bytes;
};

// The lines of one section of the project file, up to the blank line that ends it.
std::vector<std::string> SectionLines(const std::string& project, const std::string& heading)
{
    std::vector<std::string> lines;
    const std::size_t start = project.find("\r\n" + heading + "\r\n");
    if (start == std::string::npos) return lines;
    for (std::size_t at = start + heading.size() + 4; at < project.size() && project[at] != '\r';) {
        const std::size_t end = project.find("\r\n", at);
        Check(end != std::string::npos);
        lines.push_back(project.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// Every line of [FILES] names a file below the project's folder.
void CheckFilesSection(const std::string& project)
{
    for (const std::string& line : SectionLines(project, "[FILES]")) {
        Check(!line.empty() && line[0] != '/' && line.find(':') == std::string::npos);
        Check(line != ".." && line.rfind("../", 0) != 0 && line.find("/../") == std::string::npos);
    }
}

// The compiler refuses a context number of [MAP] that [ALIAS] does not define.
void CheckEveryMappedContextHasItsAlias(const std::string& project)
{
    std::set<std::string> aliased;
    for (const std::string& line : SectionLines(project, "[ALIAS]")) aliased.insert(line.substr(0, line.find('=')));
    for (const std::string& line : SectionLines(project, "[MAP]")) {
        const std::size_t name = line.find(' ') + 1;
        Check(aliased.count(line.substr(name, line.find(' ', name) - name)) != 0);
    }
}

class MemoryFileSystem final : public IFileSystem {
public:
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> folders{kTarget};

    bool DirectoryExists(const std::wstring& path) override { return folders.count(path) != 0; }
    bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
    void MakeDirectory(const std::wstring& path) override
    {
        CheckContained(kTarget, path);
        folders.insert(path);
    }
    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError&) override
    {
        CheckContained(kTarget, path);
        Check(folders.count(path.substr(0, path.rfind(L'/'))) != 0);
        std::string& bytes = files[path];
        bytes.clear();
        return std::make_unique<KeptFile>(bytes);
    }
    void RemoveFile(const std::wstring& path) override { files.erase(path); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const tarnwick::storage::ComRef<IStorage> root = OpenHelpFileBytes(data, size);
    if (!root) return 0;

    const auto listed = tarnwick::helpfile::ReadEntryTable(root.Get(), tarnwick::helpfile::WalkScope::Listed);
    MemoryFileSystem disk;
    tarnwick::project::ProjectRequest request;
    request.root = root.Get();
    request.listed = &listed;
    request.destination = kTarget;
    request.name = L"project";
    request.fileSystem = &disk;
    tarnwick::project::RecoveryReport report;
    Check(tarnwick::project::WriteProject(request, report));
    const auto project = disk.files.find(kTarget + L"/project.hhp");
    Check(project != disk.files.end());
    CheckFilesSection(project->second);
    CheckEveryMappedContextHasItsAlias(project->second);
    // The report is UTF-8 whatever the help file's code page.
    for (const std::string& line : report.lines) Check(tarnwick::IsWellFormedUtf8(line));
    return 0;
}
