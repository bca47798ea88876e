#include "cli/ExportCommand.h"

#include "base/Utf8.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/JsonWriter.h"
#include "cli/UnpackSteps.h"
#include "export/SiteExport.h"
#include "export/SitePages.h"
#include "export/TopicExport.h"
#include "html/Ascii.h"
#include "project/ProjectWriter.h"

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using tarnwick::exporting::ExportOutcome;

// Paths stay wide text until the system is asked; on POSIX their bytes are the names' own.
fs::path SystemPath(const std::wstring& path)
{
#ifdef _WIN32
    return fs::path(path);
#else
    return fs::path(tarnwick::FileNameFromWide(path));
#endif
}

std::wstring WidePath(const fs::path& path)
{
#ifdef _WIN32
    return path.wstring();
#else
    return tarnwick::WideFromFileName(path.native());
#endif
}

bool IsHelpFileName(const fs::path& path)
{
    return tarnwick::html::EqualsIgnoringAsciiCase(tarnwick::Utf8FromWide(WidePath(path.extension())), ".chm");
}

// Every help file below `folder`, in name order so that runs agree; folders that cannot be read
// are passed over.
std::vector<std::wstring> HelpFilesBelow(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(SystemPath(folder), fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error))
        if (it->is_regular_file(error) && IsHelpFileName(it->path())) files.push_back(WidePath(it->path()));
    std::sort(files.begin(), files.end());
    return files;
}

struct ExportedFile {
    std::wstring source;
    std::wstring folder;      // below the destination; empty when the export is the destination itself
    bool opened = false;
    ExportOutcome outcome;
};

ExportedFile ExportOne(const std::wstring& file, const std::wstring& destination, const std::wstring& folder,
                       const ExportOptions& options)
{
    ExportedFile exported;
    exported.source = file;
    exported.folder = folder;
    CChmEngine engine(ReportError);
    if (!OpenHelpFile(engine, file)) return exported;
    exported.opened = true;
    std::wstring target = destination;
    if (!folder.empty()) AppendPath(target, folder);
    if (!MakeDirectories(PlatformFileSystem(), target)) {
        ReportError(L"不能创建目标文件夹 " + target + L".");
        exported.outcome.pagesWritten = false;
        return exported;
    }
    const auto entries = tarnwick::helpfile::ReadEntryTable(engine.GetRoot(), tarnwick::helpfile::WalkScope::Listed);
    tarnwick::exporting::ExportRequest request;
    request.engine = &engine;
    request.entries = &entries;
    request.destination = target;
    request.helpFileName = tarnwick::Utf8FromWide(WidePath(SystemPath(file).filename()));
    request.chosenCodePage = options.codePage;
    const bool writeBehind = options.threads > 1;
    request.unpack = UnpackSettings{true, writeBehind ? options.threads - 1 : 1, writeBehind};
    request.rewriteThreads = options.threads;
    ProgressShown progress(entries);
    using tarnwick::exporting::TopicFormat;
    if (options.format == L"site") exported.outcome = tarnwick::exporting::ExportSite(request, progress);
    else exported.outcome = ExportTopics(request, options.format == L"md" ? TopicFormat::Markdown : TopicFormat::Text, progress);
    return exported;
}

// Folder names for the help files of a run over folders: the file's stem, numbered where two agree.
std::vector<std::wstring> FolderNames(const std::vector<std::wstring>& files)
{
    std::vector<std::wstring> names;
    for (const std::wstring& file : files) {
        std::wstring name = Stem(file);
        for (int n = 2; std::find(names.begin(), names.end(), name) != names.end(); ++n) name = Stem(file) + L" (" + std::to_wstring(n) + L")";
        names.push_back(name);
    }
    return names;
}

// What the export could not do; the links it kept as they were are listed apart.
std::size_t ProblemCount(const ExportedFile& file)
{
    return file.opened ? file.outcome.failed.size() + (file.outcome.pagesWritten ? 0 : 1) : 1;
}

void PrintSummary(const std::vector<ExportedFile>& files, const std::wstring& destination)
{
    std::size_t pages = 0;
    std::size_t problems = 0;
    std::size_t keptLinks = 0;
    for (const ExportedFile& file : files) {
        pages += file.outcome.pages;
        problems += ProblemCount(file);
        keptLinks += file.outcome.problems.size();
    }
    Print(ConsoleStream::Out, L"导出了 " + std::to_wstring(files.size()) + L" 个帮助文件, " + std::to_wstring(pages) +
                                  L" 个页面到 " + destination + L"; 问题 " + std::to_wstring(problems) + L" 项, 保留原样的链接 " +
                                  std::to_wstring(keptLinks) + L" 个 (见 export-report.txt).\n");
}

// The manifest an indexing tool reads: each topic's title, file and the books above it.
void WriteTopics(CJsonWriter& json, const std::vector<tarnwick::exporting::ExportedTopic>& topics)
{
    json.Key("topics");
    json.BeginArray();
    for (const tarnwick::exporting::ExportedTopic& topic : topics) {
        json.BeginObject();
        json.Key("title");
        json.String(tarnwick::WideFromUtf8(topic.title));
        json.Key("file");
        json.String(tarnwick::WideFromUtf8(topic.file));
        json.Key("parents");
        json.BeginArray();
        for (const std::string& parent : topic.parents) json.String(tarnwick::WideFromUtf8(parent));
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
}

void PrintJson(const std::vector<ExportedFile>& files)
{
    CJsonWriter json;
    json.BeginObject();
    json.Key("files");
    json.BeginArray();
    for (const ExportedFile& file : files) {
        json.BeginObject();
        json.Key("file");
        json.String(file.source);
        json.Key("folder");
        json.String(file.folder);
        json.Key("title");
        json.String(tarnwick::WideFromUtf8(file.outcome.title));
        json.Key("pages");
        json.Number(static_cast<std::uint64_t>(file.outcome.pages));
        json.Key("problems");
        json.Number(static_cast<std::uint64_t>(ProblemCount(file)));
        json.Key("keptLinks");
        json.Number(static_cast<std::uint64_t>(file.outcome.problems.size()));
        if (!file.outcome.topics.empty()) WriteTopics(json, file.outcome.topics);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    PrintUtf8(ConsoleStream::Out, json.Take() + "\n");
}

bool WriteTopPage(const std::vector<ExportedFile>& files, const std::wstring& destination)
{
    std::vector<tarnwick::exporting::ExportedHelpFile> listed;
    for (const ExportedFile& file : files)
        listed.push_back({tarnwick::Utf8FromWide(file.folder), file.outcome.title, file.outcome.pages, ProblemCount(file)});
    return tarnwick::project::WriteDestinationFile(PlatformFileSystem(), destination, L"index.html",
                                                   tarnwick::exporting::HelpFilesPage(listed));
}

} // namespace

int Export(const std::vector<std::wstring>& sources, const std::wstring& destination, const ExportOptions& options)
{
    std::error_code error;
    const bool oneFile = sources.size() == 1 && !fs::is_directory(SystemPath(sources[0]), error);
    std::vector<std::wstring> files;
    for (const std::wstring& source : sources) {
        if (!fs::is_directory(SystemPath(source), error)) files.push_back(source);
        else std::ranges::copy(HelpFilesBelow(source), std::back_inserter(files));
    }
    if (files.empty()) {
        ReportError(L"没有找到帮助文件.");
        return kExitCannotOpen;
    }
    const std::vector<std::wstring> folders = oneFile ? std::vector<std::wstring>{L""} : FolderNames(files);
    std::vector<ExportedFile> exported;
    for (std::size_t i = 0; i < files.size(); ++i) exported.push_back(ExportOne(files[i], destination, folders[i], options));
    if (oneFile && !exported[0].opened) return kExitCannotOpen;
    bool written = true;
    if (!oneFile) written = WriteTopPage(exported, destination);
    if (options.json) PrintJson(exported);
    else PrintSummary(exported, destination);
    const bool problems = !written || std::any_of(exported.begin(), exported.end(),
                                                  [](const ExportedFile& file) { return ProblemCount(file) > 0; });
    return problems ? kExitSomeFailed : kExitOk;
}
