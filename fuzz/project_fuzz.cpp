// libFuzzer entry point for the project reconstruction: any bytes are opened as a help file from
// memory, its listing walked, and its project written into a file system held in memory: the
// binary contents, the keyword index, #IVB, #SYSTEM and #WINDOWS all parsed from hostile bytes.
// Traps when a written file lands outside the target folder or under a name Windows would read
// as something else, when the project file itself is not written, or when it lists a file that
// would be looked for outside the target.
#include "ChmArchive.h"
#include "ChmEngine.h"
#include "ContainedPaths.h"
#include "GenericFileTypes.h"
#include "ItsStorage.h"
#include "MemoryList.h"
#include "ProjectWriter.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <map>
#include <set>
#include <string>

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

// Every line of [FILES] names a file below the project's folder.
void CheckFilesSection(const std::string& project)
{
    const std::size_t start = project.find("\r\n[FILES]\r\n");
    if (start == std::string::npos) return;
    std::size_t at = start + 11;
    while (at < project.size() && project[at] != '\r' && project[at] != '[') {
        const std::size_t end = project.find("\r\n", at);
        const std::string line = project.substr(at, end - at);
        Check(!line.empty() && line[0] != '/' && line.find(':') == std::string::npos);
        Check(line != ".." && line.rfind("../", 0) != 0 && line.find("/../") == std::string::npos);
        at = end + 2;
    }
}

class MemoryFileSystem final : public IFileSystem {
public:
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> folders{kTarget};

    bool DirectoryExists(const std::wstring& path) override { return folders.count(path) != 0; }
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
    using namespace tarnwick::storage;
    std::shared_ptr<ChmArchive> archive = ChmArchive::Open(MakeMemorySource(std::vector<std::uint8_t>(data, data + size)));
    if (!archive) return 0;
    ComRef<IStorage> root(new ItsStorage(std::move(archive), DirectoryTree::kRoot));

    CChmEngine engine;
    CMemoryList rows;
    CGenericFileTypes types;
    engine.WalkStorage(rows, types, root.Get(), L"");

    MemoryFileSystem disk;
    tarnwick::project::ProjectRequest request;
    request.root = root.Get();
    for (const CMemoryRow& row : rows.Rows()) {
        std::wstring folders = row.cells[3];
        for (wchar_t& c : folders)
            if (c == L'\\') c = L'/';
        request.listedFiles.push_back(folders + row.cells[0]);
    }
    request.destination = kTarget;
    request.name = L"project";
    request.fileSystem = &disk;
    tarnwick::project::RecoveryReport report;
    Check(tarnwick::project::WriteProject(request, report));
    const auto project = disk.files.find(kTarget + L"/project.hhp");
    Check(project != disk.files.end());
    CheckFilesSection(project->second);
    return 0;
}
