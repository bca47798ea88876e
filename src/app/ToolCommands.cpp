#include "app/ToolCommands.h"

#include "app/ReportDlg.h"
#include "base/HardwareThreads.h"
#include "base/Utf8.h"
#include "engine/ChmEngine.h"
#include "engine/IntegrityCheck.h"
#include "engine/IntegrityFindings.h"
#include "engine/UnpackPipeline.h"
#include "export/SiteExport.h"
#include "framework/FileErrorMessage.h"
#include "framework/MessageBox.h"
#include "helpfile/FactsText.h"
#include "project/ProjectWriter.h"
#include "project/RecoveryReport.h"
#include "resource.h"
#include "unpackdialog/DestinationDlg.h"
#include "unpackdialog/TableProgress.h"
#include "view/ShellOperations.h"


using tarnwick::helpfile::EntryTable;
using tarnwick::helpfile::ReadEntryTable;
using tarnwick::helpfile::WalkScope;

namespace {

class CToolEngine : public CChmEngine {
public:
    CToolEngine() : CChmEngine([](const std::wstring& message) { ShowMessageBox(message); }) {}

    // False, and said, when the file no longer opens (moved, changed since the window opened it).
    bool Open(const std::wstring& file)
    {
        if (SUCCEEDED(OpenFile(file)) && GetRoot()) return true;
        ShowMessageBox(IDS_CANNOT_OPEN_FILE);
        return false;
    }
};

// As the command line sets its threads: decoding ahead on all but one, files written on that one.
UnpackSettings SettingsForThisMachine()
{
    const unsigned threads = tarnwick::HardwareThreads();
    const bool writeBehind = threads > 1;
    return UnpackSettings{true, writeBehind ? threads - 1 : 1, writeBehind};
}

// The destination the user named, made with its parents; none when cancelled or impossible.
std::optional<std::wstring> ChosenDestination(const std::wstring& caption)
{
    CDestinationDlg dialog(caption);
    if (dialog.DoModal() != IDOK) return std::nullopt;
    if (MakeDirectories(PlatformFileSystem(), dialog.m_destination)) return dialog.m_destination;
    ReportFileError(FileErrorCause::BadPath, dialog.m_destination);
    return std::nullopt;
}

void OfferToOpen(const std::wstring& message, const std::wstring& target)
{
    if (ShowMessageBox(message, MB_YESNO | MB_ICONQUESTION) == IDYES) OpenOrSay(target, L"没有程序能打开 " + target + L".");
}

std::wstring Lines(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\n";
    return text;
}

// Without std::filesystem, whose paths bring the whole of the C++ locale into the program.
std::wstring FileNameOf(const std::wstring& file) { return file.substr(file.find_last_of(L"\\/") + 1); }

std::wstring StemOf(const std::wstring& file)
{
    const std::wstring name = FileNameOf(file);
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

void ShowFileFacts(const std::wstring& file)
{
    CToolEngine engine;
    if (!engine.Open(file)) return;
    InfoReport report = DescribeHelpFile(engine.GetRoot(), std::nullopt);
    AddZoneMark(engine.GetFileSystem().ReadZoneMark(file), report);
    CReportDlg facts(L"文件信息 - " + FileNameOf(file), FactsText(report));
    facts.DoModal();
}

void CheckHelpFile(const std::wstring& file)
{
    CToolEngine engine;
    if (!engine.Open(file)) return;
    const EntryTable entries = ReadEntryTable(engine.GetRoot(), WalkScope::All);
    CTableProgress progress(L"正在检查...", L"正在检查:", entries);
    const IntegrityReport report = CheckIntegrity(
        entries, tarnwick::HardwareThreads(), [&progress](std::size_t done, std::size_t index) { return progress.Starting(done, index); });
    progress.Close();
    if (report.stopped) return;
    const std::wstring summary = IntegritySummary(entries, report);
    const std::vector<std::wstring> findings = IntegrityFindings(entries, report);
    if (findings.empty()) {
        ShowMessageBox(summary, MB_ICONINFORMATION);
        return;
    }
    CReportDlg damaged(L"检查文件 - " + FileNameOf(file), L"帮助文件已损坏. " + summary + L"\n\n" + Lines(findings));
    damaged.DoModal();
}

void ExportProject(const std::wstring& file)
{
    CToolEngine engine;
    if (!engine.Open(file)) return;
    const auto destination = ChosenDestination(L"导出项目");
    if (!destination) return;
    const EntryTable entries = ReadEntryTable(engine.GetRoot(), WalkScope::Listed);
    CTableProgress progress(L"正在导出项目...", L"正在展开:", entries);
    const std::vector<std::size_t> failed = UnpackEntries(engine, entries, *destination, SettingsForThisMachine(), progress);
    if (progress.IsCancelled()) return;

    tarnwick::project::ProjectRequest request;
    request.root = engine.GetRoot();
    request.listed = &entries;
    request.destination = *destination;
    request.name = StemOf(file);
    tarnwick::project::RecoveryReport report;
    const bool written = tarnwick::project::WriteProject(request, report);
    progress.Close();
    if (!written) {
        ShowMessageBox(L"不能写入项目文件 " + request.name + L".hhp.");
        return;
    }
    std::wstring message = L"已把项目 " + request.name + L".hhp 写到 " + *destination + L".";
    if (!failed.empty()) message += L"\n有 " + std::to_wstring(failed.size()) + L" 个文件未能展开.";
    if (!report.lines.empty()) {
        message += L"\n有 " + std::to_wstring(report.lines.size()) + L" 项未能恢复 (见 project-report.txt).";
        tarnwick::project::WriteDestinationFile(PlatformFileSystem(), *destination,
                                                tarnwick::WideFromUtf8(tarnwick::project::kReportFileName),
                                                tarnwick::project::ReportFileText(report));
    }
    OfferToOpen(message + L"\n\n现在打开这个文件夹吗?", *destination);
}

void ExportWebSite(const std::wstring& file)
{
    CToolEngine engine;
    if (!engine.Open(file)) return;
    const auto destination = ChosenDestination(L"导出为网页");
    if (!destination) return;
    const EntryTable entries = ReadEntryTable(engine.GetRoot(), WalkScope::Listed);
    tarnwick::exporting::ExportRequest request;
    request.engine = &engine;
    request.entries = &entries;
    request.destination = *destination;
    request.helpFileName = tarnwick::Utf8FromWide(FileNameOf(file));
    request.unpack = SettingsForThisMachine();
    request.rewriteThreads = tarnwick::HardwareThreads();
    CTableProgress progress(L"正在导出...", L"正在导出:", entries);
    const tarnwick::exporting::ExportOutcome outcome = tarnwick::exporting::ExportSite(request, progress);
    progress.Close();
    if (progress.IsCancelled()) return;
    const std::size_t problems = outcome.failed.size() + (outcome.pagesWritten ? 0 : 1);
    OfferToOpen(L"已导出 " + std::to_wstring(outcome.pages) + L" 个页面到 " + *destination + L"; 问题 " +
                    std::to_wstring(problems) + L" 项, 保留原样的链接 " + std::to_wstring(outcome.problems.size()) +
                    L" 个 (见 export-report.txt).\n\n现在打开导出的网页吗?",
                *destination + L"\\index.html");
}
