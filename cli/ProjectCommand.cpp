#include "cli/ProjectCommand.h"

#include "base/Utf8.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/UnpackSteps.h"
#include "project/ProjectWriter.h"

namespace {

using tarnwick::project::RecoveryReport;

// The file's name without its folder and its last extension: "help" of "/x/help.chm".
std::wstring Stem(const std::wstring& file)
{
#ifdef _WIN32
    const std::size_t folderEnd = file.find_last_of(L"\\/:");
#else
    const std::size_t folderEnd = file.find_last_of(L'/');
#endif
    std::wstring name = folderEnd == std::wstring::npos ? file : file.substr(folderEnd + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return name.empty() ? std::wstring(L"project") : name;
}

void Tell(const RecoveryReport& report, const std::wstring& destination)
{
    if (report.lines.empty()) return;
    std::wstring message = L"有 " + std::to_wstring(report.lines.size()) + L" 项未能恢复 (见 project-report.txt):\n";
    for (const std::string& line : report.lines) message += L"  " + tarnwick::WideFromUtf8(line) + L"\n";
    Print(ConsoleStream::Error, message);
    const std::wstring reportName(std::begin(tarnwick::project::kReportFileName), std::end(tarnwick::project::kReportFileName) - 1);
    if (!tarnwick::project::WriteDestinationFile(PlatformFileSystem(), destination, reportName, tarnwick::project::ReportFileText(report)))
        ReportError(L"不能写入 project-report.txt.");
}

} // namespace

int Project(const std::wstring& file, const std::wstring& destination, std::optional<unsigned> codePage)
{
    CChmEngine engine(ReportError);
    if (!OpenHelpFile(engine, file)) return kExitCannotOpen;
    const auto entries = tarnwick::helpfile::ReadEntryTable(engine.GetRoot(), tarnwick::helpfile::WalkScope::Listed);
    const int unpacked = UnpackTable(engine, entries, destination, UnpackOptions{});
    if (unpacked != kExitOk && unpacked != kExitSomeFailed) return unpacked;

    tarnwick::project::ProjectRequest request;
    request.root = engine.GetRoot();
    request.listed = &entries;
    request.destination = destination;
    request.name = Stem(file);
    request.chosenCodePage = codePage;
    RecoveryReport report;
    const bool written = tarnwick::project::WriteProject(request, report);
    Tell(report, destination);
    if (!written) {
        ReportError(L"不能写入项目文件 " + request.name + L".hhp.");
        return kExitSomeFailed;
    }
    return unpacked;
}
