#include "engine/IntegrityFindings.h"

#include "engine/DamageReasons.h"

std::vector<std::wstring> IntegrityFindings(const tarnwick::helpfile::EntryTable& entries, const IntegrityReport& report)
{
    std::vector<std::wstring> findings = SectionDamageNotes(report.sectionState);
    for (const DamagedStream& damaged : report.damaged)
        findings.push_back(entries.Path(damaged.index) + L": " +
                           (damaged.sizeDiffers ? std::wstring(L"读到的字节数与目录中的大小不符") : DescribeDamage(damaged.damage)));
    return findings;
}

std::wstring IntegritySummary(const tarnwick::helpfile::EntryTable& entries, const IntegrityReport& report)
{
    return L"检查了 " + std::to_wstring(entries.Size()) + L" 个流: " +
           std::to_wstring(entries.Size() - report.damaged.size()) + L" 个完好, " +
           std::to_wstring(report.damaged.size()) + L" 个损坏.";
}
