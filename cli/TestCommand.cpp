#include "cli/TestCommand.h"

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ProgressBar.h"
#include "cli/UnpackSteps.h"
#include "engine/ChmEngine.h"
#include "engine/IntegrityCheck.h"
#include "engine/IntegrityFindings.h"

#include <vector>

using tarnwick::helpfile::EntryTable;
using tarnwick::helpfile::ReadEntryTable;
using tarnwick::helpfile::WalkScope;

int TestHelpFile(const std::wstring& file, unsigned threads)
{
    CChmEngine engine(ReportError);
    if (!OpenHelpFile(engine, file)) return kExitCannotOpen;
    const EntryTable entries = ReadEntryTable(engine.GetRoot(), WalkScope::All);
    IntegrityReport integrity;
    {
        CProgressBar progress(static_cast<int>(entries.Size()));
        integrity = CheckIntegrity(entries, threads, [&](std::size_t done, std::size_t index) {
            progress.Show(static_cast<int>(done), entries.Path(index));
            return true;
        });
    }
    std::wstring report;
    const std::vector<std::wstring> findings = IntegrityFindings(entries, integrity);
    for (const std::wstring& finding : findings) report += L"损坏: " + finding + L"\n";
    Print(ConsoleStream::Out, report + IntegritySummary(entries, integrity) + L"\n");
    return findings.empty() ? kExitOk : kExitSomeFailed;
}
