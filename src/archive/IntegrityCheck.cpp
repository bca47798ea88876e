#include "IntegrityCheck.h"

#include "ExtractionPlan.h"

#include <algorithm>
#include <optional>

using tarnwick::helpfile::StreamEntry;
using tarnwick::storage::ComRef;

namespace {

constexpr ULONG kReadChunk = 1u << 16;

DamageReport LastDamage(IUnknown* object)
{
    DamageReport report;
    ComRef<IDamageReport> damage;
    if (SUCCEEDED(object->QueryInterface(IID_IDamageReport, reinterpret_cast<void**>(damage.Put()))) && damage)
        damage->GetLastDamage(&report);
    return report;
}

ULONG SectionState(IStorage* root)
{
    ULONG state = 0;
    ComRef<IDamageReport> damage;
    if (SUCCEEDED(root->QueryInterface(IID_IDamageReport, reinterpret_cast<void**>(damage.Put()))) && damage)
        damage->GetSectionState(&state);
    return state;
}

// What is wrong with the stream, or nothing when it reads whole.
std::optional<DamagedStream> ReadWhole(const StreamEntry& entry, std::vector<std::uint8_t>& buffer)
{
    ComRef<IStream> stream;
    if (FAILED(entry.parent->OpenStream(entry.name.c_str(), nullptr, STGM_READ, 0, stream.Put())) || !stream)
        return DamagedStream{0, LastDamage(entry.parent.Get())};
    std::uint64_t total = 0;
    for (;;) {
        ULONG read = 0;
        if (FAILED(stream->Read(buffer.data(), kReadChunk, &read))) return DamagedStream{0, LastDamage(stream.Get())};
        if (read == 0) break;
        total += read;
    }
    if (total != entry.size) return DamagedStream{0, {}, true};
    return std::nullopt;
}

} // namespace

IntegrityReport CheckIntegrity(IStorage* root, const tarnwick::helpfile::StreamWalk& walk, unsigned threads,
                               const std::function<void(std::size_t done, const StreamEntry&)>& reading)
{
    IntegrityReport report;
    const auto& streams = walk.streams;
    const auto rowAt = [&](std::size_t i) {
        return ExtractionRow{streams[i].parent.Get(), streams[i].internalPath, streams[i].name};
    };
    const ExtractionPlan plan = PlanExtraction(streams.size(), rowAt, true);
    AnnounceReads(root, plan, threads);

    std::vector<std::uint8_t> buffer(kReadChunk);
    std::size_t done = 0;
    for (const std::size_t index : plan.order) {
        reading(done++, streams[index]);
        if (auto damaged = ReadWhole(streams[index], buffer)) {
            damaged->index = index;
            report.damaged.push_back(*damaged);
        }
    }
    std::sort(report.damaged.begin(), report.damaged.end(),
              [](const DamagedStream& a, const DamagedStream& b) { return a.index < b.index; });
    report.sectionState = SectionState(root);
    return report;
}
