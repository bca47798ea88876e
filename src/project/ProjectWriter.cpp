#include "project/ProjectWriter.h"

#include "base/Utf8.h"
#include "engine/SafeName.h"
#include "helpfile/AliasFile.h"
#include "helpfile/CodePageText.h"
#include "helpfile/HelpFileFacts.h"
#include "helpfile/InternalFile.h"
#include "helpfile/TextEncoding.h"
#include "project/BinarySitemaps.h"
#include "project/CodePageEncoder.h"
#include "project/ProjectNames.h"
#include "project/SystemOptions.h"

#include <algorithm>
#include <optional>

namespace tarnwick::project {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Utf8(std::wstring_view text) { return tarnwick::Utf8FromWide(text); }

// A name from the file that can be written where it says: a relative path whose every level
// SafeFileName leaves as it is. Other names are written under a name of the project's own.
bool IsWritableName(std::wstring_view name)
{
    if (name.empty() || name.front() == L'/' || name.back() == L'/') return false;
    for (std::size_t start = 0;;) {
        const std::size_t slash = std::min(name.find(L'/', start), name.size());
        const std::wstring_view part = name.substr(start, slash - start);
        if (part.empty() || SafeFileName(part) != part) return false;
        if (slash == name.size()) return true;
        start = slash + 1;
    }
}

class ProjectAssembler {
public:
    ProjectAssembler(const ProjectRequest& request, RecoveryReport& report)
        : m_request(request), m_report(report), m_facts(helpfile::GatherFacts(request.root, request.chosenCodePage)),
          m_names(*request.listed, report), m_topics(request.root)
    {
        m_project = ReadSystemSections(m_facts, WrittenNameFunction(), report);
        m_project.options.compiledFile = CompiledFile(m_project.options.compiledFile);
    }

    bool Write()
    {
        ProjectOptions& options = m_project.options;
        const auto contents = KeepOrRebuild(options.contentsFile, kBinaryContentsPath, L"rebuilt-contents.hhc",
                                            [&](const Bytes& bytes) { return RebuildContents(bytes); });
        auto index = KeepOrRebuild(options.indexFile, kBinaryIndexPath, L"rebuilt-index.hhk",
                                   [&](const Bytes& bytes) { return RebuildIndex(bytes); });
        if (index && index->kept) index->onDisk = IndexWithUtf8Keywords(*index);
        options.contentsFile = contents ? *ForCompiler(contents->onDisk) : std::string();
        options.indexFile = index ? *ForCompiler(index->onDisk) : std::string();
        ListFiles();
        AddAliases();
        return WriteDestinationFile(*m_request.fileSystem, m_request.destination, m_request.name + L".hhp", ProjectFileText(m_project));
    }

private:
    NameWriter WrittenNameFunction()
    {
        return [this](std::string_view reference) { return WrittenName(reference); };
    }

    bool IsListed(std::wstring_view name) const { return m_names.Find(name).has_value(); }

    // A name from the help file's texts, read the way that names a listed file.
    std::wstring NameInHelpFile(std::string_view reference) const
    {
        return m_facts.encoding.DecodeName(reference, [this](std::wstring_view name) { return IsListed(name); });
    }

    // The file a name from the help file's texts means: a listed file as it was unpacked, else
    // the name as read.
    std::wstring NameOnDisk(std::string_view reference) const
    {
        const std::wstring read = NameInHelpFile(reference);
        return m_names.Find(read).value_or(read);
    }

    std::optional<std::string> ForCompiler(std::wstring_view name) const
    {
        return TextInCodePage(Utf16FromWide(name), m_request.compiler.fileNames);
    }

    std::string WrittenName(std::string_view reference)
    {
        const std::wstring name = NameOnDisk(reference);
        if (auto written = ForCompiler(name)) return std::move(*written);
        m_report.Lost("文件名 " + Utf8(name) + " 不能写成代码页 " + std::to_string(m_request.compiler.fileNames) +
                      ", 项目中保留帮助文件中的写法");
        return std::string(reference);
    }

    // The help file's own record of its name, else the name it has; either in the compiler's code page.
    std::string CompiledFile(const std::string& recorded)
    {
        const std::wstring name = recorded.empty() ? m_request.name : m_facts.encoding.Decode(recorded);
        if (auto written = ForCompiler(name + L".chm")) return std::move(*written);
        m_report.Lost("编译文件名 " + Utf8(name) + " 不能写成代码页 " + std::to_string(m_request.compiler.fileNames) +
                      ", 改为 project.chm");
        return "project.chm";
    }

    struct SitemapFile {
        std::wstring inHelpFile; // as the help file names it; empty when rebuilt
        std::wstring onDisk;
        bool kept = false;
    };

    // The contents or index file the project names: the stored one when it is listed, else the
    // one rebuilt from its binary form, else none. Its name on disk can be written for the compiler.
    template <class Rebuild>
    std::optional<SitemapFile> KeepOrRebuild(const std::string& reference, std::wstring_view binaryPath,
                                             std::wstring_view fallback, Rebuild rebuild)
    {
        const std::wstring named = reference.empty() ? std::wstring() : NameInHelpFile(reference);
        const auto listed = m_names.Find(named);
        if (listed && ForCompiler(*listed)) return SitemapFile{named, *listed, true};
        const auto bytes = helpfile::ReadInternalFile(m_request.root, binaryPath, kBinaryFileLimit);
        if (!bytes) {
            if (!named.empty()) m_report.Lost("文件 " + Utf8(named) + " 既未存放也没有二进制形式, 未能恢复");
            return std::nullopt;
        }
        std::wstring name = named;
        if (!IsWritableName(name) || !ForCompiler(name)) {
            if (!named.empty()) m_report.Lost("文件名 " + Utf8(named) + " 不能直接使用, 重建的文件改名为 " + Utf8(fallback));
            name = fallback;
        }
        if (!WriteDestinationFile(*m_request.fileSystem, m_request.destination, name, rebuild(*bytes))) {
            m_report.Lost("不能写入重建的文件 " + Utf8(name));
            return std::nullopt;
        }
        return SitemapFile{{}, name, false};
    }

    // chmcmd builds the keyword tree from the index file's keywords decoded as UTF-8. A stored index
    // in a code page stays as it is, listed in [FILES], and the compiler gets a UTF-8 copy beside it.
    std::wstring IndexWithUtf8Keywords(const SitemapFile& index)
    {
        if (!m_request.compiler.utf8Keywords) return index.onDisk;
        const auto bytes = helpfile::ReadInternalFile(m_request.root, index.inHelpFile, kBinaryFileLimit);
        if (!bytes) return index.onDisk;
        const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        const unsigned codePage = m_facts.encoding.CodePageOf(text);
        if (codePage == helpfile::kUtf8CodePage || helpfile::WeighText(text, codePage) == helpfile::TextEvidence::Ascii)
            return index.onDisk;
        const std::size_t dot = index.onDisk.rfind(L'.');
        const std::wstring copy = index.onDisk.substr(0, dot) + L"-utf8" + (dot == std::wstring::npos ? L".hhk" : index.onDisk.substr(dot));
        if (!ForCompiler(copy) ||
            !WriteDestinationFile(*m_request.fileSystem, m_request.destination, copy, Utf8(m_facts.encoding.Decode(text)))) {
            m_report.Lost("不能写入索引文件 " + Utf8(index.onDisk) + " 的 UTF-8 副本, 编译出的索引关键字会是乱码");
            return index.onDisk;
        }
        m_report.Lost("索引文件 " + Utf8(index.onDisk) + " 的关键字在代码页 " + std::to_string(codePage) +
                      " 中, 本机的编译器按 UTF-8 读取: 编译用 UTF-8 的副本 " + Utf8(copy) + ", 原文件照原样列入 [FILES]");
        return copy;
    }

    std::string RebuildContents(const Bytes& bytes)
    {
        return project::RebuildContents(bytes, m_topics, WrittenNameFunction(), m_report);
    }

    std::string RebuildIndex(const Bytes& bytes)
    {
        const std::optional<unsigned> keywordCodePage =
            m_request.compiler.utf8Keywords ? std::optional<unsigned>(helpfile::kUtf8CodePage) : std::nullopt;
        return project::RebuildIndex(bytes, m_topics, WrittenNameFunction(), m_facts.encoding, keywordCodePage, m_report);
    }

    // The compiler stores the contents and index files itself, so they are not listed again; but
    // chmcmd takes only the file name of one in a folder and then stores none: listed, it is at
    // least kept where it was.
    void ListFiles()
    {
        const ProjectOptions& options = m_project.options;
        for (const std::wstring& file : m_names.Files()) {
            auto written = ForCompiler(file);
            if (!written) {
                m_report.Lost("文件名 " + Utf8(file) + " 不能写成代码页 " + std::to_string(m_request.compiler.fileNames) +
                              ", 未列入 [FILES]");
                continue;
            }
            const bool atRoot = file.find(L'/') == std::wstring::npos;
            if (atRoot && (SameNameIgnoringCase(*written, options.contentsFile) || SameNameIgnoringCase(*written, options.indexFile)))
                continue;
            m_project.files.push_back(std::move(*written));
        }
    }

    // A context number whose file is not in the help file is left out of both sections: the
    // compiler refuses a [MAP] entry without its [ALIAS].
    void AddAliases()
    {
        const auto ivb = helpfile::ReadInternalFile(m_request.root, L"#IVB", kBinaryFileLimit);
        if (!ivb) return;
        const helpfile::AliasFile aliases = helpfile::ReadAliasFile(*ivb, m_topics.strings);
        for (const std::string& damage : aliases.damage) m_report.Lost("[ALIAS]: " + damage);
        for (const helpfile::ContextAlias& alias : aliases.aliases) {
            const std::string id = std::to_string(alias.id);
            const std::wstring file = NameOnDisk(alias.file);
            const auto written = IsListed(file) ? ForCompiler(file) : std::nullopt;
            if (!written) {
                m_report.Lost("[ALIAS]/[MAP]: 上下文编号 " + id + " 的文件 " + Utf8(file) + " 不在帮助文件中或不能写成代码页 " +
                              std::to_string(m_request.compiler.fileNames) + ", 未写入");
                continue;
            }
            m_project.aliases.push_back("IDH_" + id + "=" + *written);
            m_project.map.push_back("#define IDH_" + id + " " + id);
        }
        if (!m_project.aliases.empty())
            m_report.Lost("[MAP]: 帮助文件不保存上下文编号的原名, 写成 IDH_编号 (" + std::to_string(m_project.aliases.size()) + " 个)");
    }

    static bool SameNameIgnoringCase(std::string_view a, std::string_view b)
    {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
    }

    const ProjectRequest& m_request;
    RecoveryReport& m_report;
    helpfile::HelpFileFacts m_facts;
    ProjectNames m_names;
    TopicBytes m_topics;
    ProjectSections m_project;
};

} // namespace

CompilerCodePages ThisSystemsCompiler()
{
#ifdef _WIN32
    return {helpfile::SystemCodePage(), false};
#else
    return {helpfile::kUtf8CodePage, true};
#endif
}

bool WriteDestinationFile(IFileSystem& fileSystem, const std::wstring& destination, const std::wstring& relativePath,
                          std::string_view bytes)
{
    return WriteDestinationFile(fileSystem, destination, relativePath, [bytes](const PieceSink& sink) { sink(bytes); });
}

bool WriteDestinationFile(IFileSystem& fileSystem, const std::wstring& destination, const std::wstring& relativePath,
                          const std::function<void(const PieceSink&)>& write)
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
    bool written = true;
    write([&](std::string_view piece) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(piece.data());
        written = written && file->Write({data, piece.size()}, error);
    });
    return file->Close(error) && written;
}

bool WriteProject(const ProjectRequest& request, RecoveryReport& report)
{
    return ProjectAssembler(request, report).Write();
}

} // namespace tarnwick::project
