#include "cli/ProjectCommand.h"

#include "base/Utf8.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/UnpackSteps.h"
#include "project/ProjectWriter.h"

namespace {

using tarnwick::project::RecoveryReport;

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
