#include "engine/IntegrityCheck.h"

#include "engine/DamageReasons.h"
#include "engine/ExtractionPlan.h"

#include <algorithm>
#include <optional>

using tarnwick::helpfile::EntryTable;
using tarnwick::storage::ComRef;

namespace {

constexpr ULONG kReadChunk = 1u << 16;

// What is wrong with the stream, or nothing when it reads whole.
std::optional<DamagedStream> ReadWhole(const EntryTable& entries, std::size_t index, std::vector<std::uint8_t>& buffer)
{
    IStorage* parent = entries.Storage(index);
    ComRef<IStream> stream;
    if (FAILED(parent->OpenStream(entries.Name(index).c_str(), nullptr, STGM_READ, 0, stream.Put())) || !stream)
        return DamagedStream{index, LastDamage(parent)};
    std::uint64_t total = 0;
    for (;;) {
        ULONG read = 0;
        if (FAILED(stream->Read(buffer.data(), kReadChunk, &read))) return DamagedStream{index, LastDamage(stream.Get())};
        if (read == 0) break;
        total += read;
    }
    if (total != entries[index].size) return DamagedStream{index, {}, true};
    return std::nullopt;
}

} // namespace

IntegrityReport CheckIntegrity(const EntryTable& entries, unsigned threads,
                               const std::function<bool(std::size_t done, std::size_t index)>& reading)
{
    IntegrityReport report;
    const ExtractionPlan plan = PlanExtraction(entries, true);
    AnnounceReads(entries.Root(), plan, threads);

    std::vector<std::uint8_t> buffer(kReadChunk);
    std::size_t done = 0;
    for (const std::size_t index : plan.order) {
        if (!reading(done++, index)) {
            report.stopped = true;
            break;
        }
        if (auto damaged = ReadWhole(entries, index, buffer)) report.damaged.push_back(*damaged);
    }
    std::sort(report.damaged.begin(), report.damaged.end(),
              [](const DamagedStream& a, const DamagedStream& b) { return a.index < b.index; });
    if (entries.Root()) report.sectionState = SectionState(entries.Root());
    return report;
}
