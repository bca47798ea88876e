#include "cli/TestCommand.h"

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ProgressBar.h"
#include "cli/UnpackSteps.h"
#include "engine/ChmEngine.h"
#include "engine/DamageReasons.h"
#include "engine/IntegrityCheck.h"

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
        });
    }
    std::wstring report;
    const std::vector<std::wstring> notes = SectionDamageNotes(integrity.sectionState);
    for (const std::wstring& note : notes) report += L"损坏: " + note + L"\n";
    for (const DamagedStream& damaged : integrity.damaged) {
        report += L"损坏: " + entries.Path(damaged.index) + L": " +
                  (damaged.sizeDiffers ? std::wstring(L"读到的字节数与目录中的大小不符") : DescribeDamage(damaged.damage)) + L"\n";
    }
    report += L"检查了 " + std::to_wstring(entries.Size()) + L" 个流: " +
              std::to_wstring(entries.Size() - integrity.damaged.size()) + L" 个完好, " +
              std::to_wstring(integrity.damaged.size()) + L" 个损坏.\n";
    Print(ConsoleStream::Out, report);
    return integrity.damaged.empty() && notes.empty() ? kExitOk : kExitSomeFailed;
}
