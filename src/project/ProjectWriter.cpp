#include "ProjectWriter.h"

#include "AliasFile.h"
#include "CodePageEncoder.h"
#include "ContentsSitemap.h"
#include "FileSystem.h"
#include "IndexSitemap.h"
#include "InternalFile.h"
#include "SafeName.h"
#include "SystemOptions.h"
#include "Utf8.h"

#include <algorithm>
#include <optional>

namespace tarnwick::project {

namespace {

// The binary contents and index of the largest help files are a few megabytes.
constexpr std::size_t kBinaryFileLimit = 64u << 20;

using Bytes = std::vector<std::uint8_t>;

Bytes ReadOrEmpty(IStorage* root, std::wstring_view path)
{
    auto bytes = helpfile::ReadInternalFile(root, path, kBinaryFileLimit);
    return bytes ? std::move(*bytes) : Bytes();
}

struct TopicBytes {
    Bytes topics, urlTable, urlStrings, strings;

    explicit TopicBytes(IStorage* root)
        : topics(ReadOrEmpty(root, L"#TOPICS")), urlTable(ReadOrEmpty(root, L"#URLTBL")),
          urlStrings(ReadOrEmpty(root, L"#URLSTR")), strings(ReadOrEmpty(root, L"#STRINGS"))
    {
    }
    helpfile::TopicFiles View() const { return {topics, urlTable, urlStrings, strings}; }
};

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

// A name from the file that can be written as it is: ASCII folders and a file name that
// SafeFileName leaves unchanged. Other names are written under a name of the project's own.
std::optional<std::wstring> WritableName(std::string_view name)
{
    if (name.empty() || name.front() == '/' || name.back() == '/') return std::nullopt;
    std::wstring wide;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, slash - start);
        if (part.empty() || std::any_of(part.begin(), part.end(), [](char c) { return c < 0x20 || c > 0x7E; }))
            return std::nullopt;
        const std::wstring widePart(part.begin(), part.end());
        if (SafeFileName(widePart) != widePart) return std::nullopt;
        wide += widePart;
        if (slash == name.size()) return wide;
        wide += L'/';
        start = slash + 1;
    }
}

class ProjectAssembler {
public:
    ProjectAssembler(const ProjectRequest& request, RecoveryReport& report)
        : m_request(request), m_report(report), m_topics(request.root)
    {
        SystemSections system = ReadSystemSections(request.root, report);
        m_project = std::move(system.sections);
        m_codePage = system.codePage;
        if (m_project.options.compiledFile.empty()) {
            const auto name = TextInCodePage(Utf16FromWide(request.name), m_codePage);
            m_project.options.compiledFile = (name ? *name : std::string("project")) + ".chm";
        }
        EncodeListedFiles();
    }

    bool Write()
    {
        ProjectOptions& options = m_project.options;
        options.contentsFile = KeepOrRebuild(options.contentsFile, L"#TOCIDX", "rebuilt-contents.hhc",
                                             [&](const Bytes& bytes) { return RebuildContents(bytes); });
        options.indexFile = KeepOrRebuild(options.indexFile, L"$WWKeywordLinks/BTree", "rebuilt-index.hhk",
                                          [&](const Bytes& bytes) { return RebuildIndex(bytes); });
        ListFiles();
        AddAliases();
        return WriteDestinationFile(*m_request.fileSystem, m_request.destination, m_request.name + L".hhp", ProjectFileText(m_project));
    }

private:
    // Unpacking writes an unsafe name with %XX (SafeName.h). The project names the file as it was
    // written, so that it never refers to anything outside the destination ("../x").
    std::wstring AsUnpacked(const std::wstring& path)
    {
        std::wstring unpacked;
        std::size_t start = 0;
        for (;;) {
            const std::size_t slash = std::min(path.find(L'/', start), path.size());
            unpacked += SafeFileName(std::wstring_view(path).substr(start, slash - start));
            if (slash == path.size()) break;
            unpacked += L'/';
            start = slash + 1;
        }
        if (unpacked != path)
            m_report.Lost("文件 " + storage::Utf8FromWide(path) + " 展开时改名为 " + storage::Utf8FromWide(unpacked) +
                          ", 项目中也用此名");
        return unpacked;
    }

    void EncodeListedFiles()
    {
        for (const std::wstring& listed : m_request.listedFiles) {
            const std::wstring path = AsUnpacked(listed);
            auto encoded = TextInCodePage(Utf16FromWide(path), m_codePage);
            if (!encoded) {
                m_report.Lost("文件名 " + storage::Utf8FromWide(path) + " 不能写成代码页 " +
                              std::to_string(m_codePage) + ", 未列入 [FILES]");
                continue;
            }
            m_listed.push_back(std::move(*encoded));
        }
    }

    bool IsListed(std::string_view name) const
    {
        return std::any_of(m_listed.begin(), m_listed.end(), [&](const std::string& f) { return SameNameIgnoringCase(f, name); });
    }

    // The name the project gives the file: the stored one when it is listed, else the one rebuilt
    // from its binary form, else none.
    template <class Rebuild>
    std::string KeepOrRebuild(const std::string& named, std::wstring_view binaryPath, const char* fallback, Rebuild rebuild)
    {
        if (!named.empty() && IsListed(named)) return named;
        const auto bytes = helpfile::ReadInternalFile(m_request.root, binaryPath, kBinaryFileLimit);
        if (!bytes) {
            if (!named.empty()) m_report.Lost("文件 " + named + " 既未存放也没有二进制形式, 未能恢复");
            return {};
        }
        std::string name = named;
        auto wideName = WritableName(name);
        if (!wideName) {
            if (!named.empty()) m_report.Lost("文件名 " + named + " 不能直接使用, 重建的文件改名为 " + fallback);
            name = fallback;
            wideName = std::wstring(name.begin(), name.end());
        }
        if (!WriteDestinationFile(*m_request.fileSystem, m_request.destination, *wideName, rebuild(*bytes))) {
            m_report.Lost("不能写入重建的文件 " + name);
            return {};
        }
        return name;
    }

    std::string RebuildContents(const Bytes& bytes)
    {
        const helpfile::ContentsTree tree = helpfile::ReadContentsTree(bytes, m_topics.View());
        for (const std::string& damage : tree.damage) m_report.Lost("目录: " + damage);
        return ContentsSitemap(tree.entries);
    }

    std::string RebuildIndex(const Bytes& bytes)
    {
        helpfile::KeywordIndex index = helpfile::ReadKeywordIndex(bytes, m_topics.View());
        for (const std::string& damage : index.damage) m_report.Lost("索引: " + damage);
        if (index.codePage == 0) index.codePage = m_codePage;
        return IndexSitemap(index, m_report);
    }

    // The compiler stores the contents and index files itself, so they are not listed again; but
    // chmcmd takes only the file name of one in a folder and then stores none: listed, it is at
    // least kept where it was.
    void ListFiles()
    {
        const ProjectOptions& options = m_project.options;
        for (const std::string& file : m_listed) {
            const bool atRoot = file.find('/') == std::string::npos;
            if (atRoot && (SameNameIgnoringCase(file, options.contentsFile) || SameNameIgnoringCase(file, options.indexFile)))
                continue;
            m_project.files.push_back(file);
        }
    }

    void AddAliases()
    {
        const auto ivb = helpfile::ReadInternalFile(m_request.root, L"#IVB", kBinaryFileLimit);
        if (!ivb) return;
        const helpfile::AliasFile aliases = helpfile::ReadAliasFile(*ivb, m_topics.strings);
        for (const std::string& damage : aliases.damage) m_report.Lost("[ALIAS]: " + damage);
        for (const helpfile::ContextAlias& alias : aliases.aliases) {
            const std::string name = "IDH_" + std::to_string(alias.id);
            m_project.aliases.push_back(name + "=" + alias.file);
            m_project.map.push_back("#define " + name + " " + std::to_string(alias.id));
        }
        if (!aliases.aliases.empty())
            m_report.Lost("[MAP]: 帮助文件不保存上下文编号的原名, 写成 IDH_编号 (" + std::to_string(aliases.aliases.size()) + " 个)");
    }

    const ProjectRequest& m_request;
    RecoveryReport& m_report;
    TopicBytes m_topics;
    ProjectSections m_project;
    unsigned m_codePage = 0;
    std::vector<std::string> m_listed;
};

} // namespace

bool WriteDestinationFile(IFileSystem& fileSystem, const std::wstring& destination, const std::wstring& relativePath,
                          std::string_view bytes)
{
    std::wstring path = destination;
    std::size_t start = 0;
    for (std::size_t slash = relativePath.find(L'/'); slash != std::wstring::npos; slash = relativePath.find(L'/', start)) {
        AppendPath(path, relativePath.substr(start, slash - start));
        start = slash + 1;
    }
    if (!MakeDirectories(fileSystem, path)) return false;
    AppendPath(path, relativePath.substr(start));
    FileError error;
    const auto file = fileSystem.CreateAlways(path, error);
    if (!file) return false;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const bool written = file->Write({data, bytes.size()}, error);
    return file->Close(error) && written;
}

bool WriteProject(const ProjectRequest& request, RecoveryReport& report)
{
    return ProjectAssembler(request, report).Write();
}

} // namespace tarnwick::project
