#include "engine/ExtractionPlan.h"

#include "engine/FileSystem.h"
#include "engine/SafeName.h"
#include "storage/ComRef.h"
#include "storage/ITStorage.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

using tarnwick::storage::ComRef;

namespace {

bool PlacedBefore(const StreamPlace& a, const StreamPlace& b)
{
    return std::tie(a.section, a.offset) < std::tie(b.section, b.offset);
}

// Targets are told apart by hash, not kept: two that share a hash by chance are taken for one
// target (or for a file and a folder), which costs order, never correctness.
std::size_t HashOf(std::wstring_view text) { return std::hash<std::wstring_view>()(text); }

// Each target's path below the destination, as the file system tells names apart.
class Targets {
public:
    explicit Targets(bool usePaths) : m_usePaths(usePaths) {}

    void Add(const std::wstring& folder, const std::wstring& name)
    {
        // Entries come folder by folder: a folder's part of the path is made once for its run.
        if (m_usePaths && folder != m_folderOf) AddFolder(folder);
        m_key.assign(m_folderKey).append(FoldPathCase(SafeFileName(name)));
        files.push_back(HashOf(m_key));
    }

    bool SomeFileIsAFolder() const
    {
        return std::any_of(files.begin(), files.end(), [this](std::size_t file) { return m_folders.contains(file); });
    }

    std::vector<std::size_t> files;

private:
    void AddFolder(const std::wstring& internalPath)
    {
        m_folderOf = internalPath;
        std::wstring key;
        for (const std::wstring& level : SafeFolderNames(internalPath)) key.append(level).push_back(L'\\');
        m_folderKey = FoldPathCase(std::move(key));
        for (std::size_t at = m_folderKey.find(L'\\'); at != std::wstring::npos; at = m_folderKey.find(L'\\', at + 1))
            m_folders.insert(HashOf(std::wstring_view(m_folderKey).substr(0, at)));
    }

    const bool m_usePaths;
    std::unordered_set<std::size_t> m_folders;
    std::wstring m_folderOf;  // the internal path of the folder last added; the root's at first
    std::wstring m_folderKey; // its target, each level followed by a separator
    std::wstring m_key;       // kept to spare an allocation per row
};

// For each row, the first row in listing order with the same target.
std::vector<std::size_t> FirstWithSameTarget(const std::vector<std::size_t>& targets)
{
    std::vector<std::size_t> byTarget(targets.size());
    std::iota(byTarget.begin(), byTarget.end(), std::size_t{0});
    std::sort(byTarget.begin(), byTarget.end(),
              [&](std::size_t a, std::size_t b) { return std::pair(targets[a], a) < std::pair(targets[b], b); });
    std::vector<std::size_t> first(targets.size());
    for (std::size_t run = 0, i = 0; i < byTarget.size(); ++i) {
        if (targets[byTarget[i]] != targets[byTarget[run]]) run = i;
        first[byTarget[i]] = byTarget[run];
    }
    return first;
}

} // namespace

ExtractionPlan PlanExtraction(const tarnwick::helpfile::EntryTable& entries, bool usePaths)
{
    const std::size_t count = entries.Size();
    ExtractionPlan plan;
    plan.order.resize(count);
    std::iota(plan.order.begin(), plan.order.end(), std::size_t{0});

    Targets targets(usePaths);
    targets.files.reserve(count);
    for (std::size_t i = 0; i < count; ++i) targets.Add(entries.Folder(i), entries.Name(i));
    // Entries whose place is unknown go last: their copy fails anyway.
    const auto places = [&](std::size_t i) -> const StreamPlace& { return entries[i].place; };
    if (!targets.SomeFileIsAFolder()) {
        // A group of rows with one target goes where its earliest data lies.
        const std::vector<std::size_t> firstOfGroup = FirstWithSameTarget(targets.files);
        // Few rows share a target: only their groups get a place of their own.
        std::unordered_map<std::size_t, StreamPlace> sharedPlaces;
        for (std::size_t i = 0; i < count; ++i) {
            if (firstOfGroup[i] == i) continue;
            auto [group, added] = sharedPlaces.try_emplace(firstOfGroup[i], places(firstOfGroup[i]));
            if (PlacedBefore(places(i), group->second)) group->second = places(i);
        }
        const auto groupPlace = [&](std::size_t row) -> const StreamPlace& {
            if (sharedPlaces.empty()) return places(row); // spares a look-up per comparison
            const auto shared = sharedPlaces.find(firstOfGroup[row]);
            return shared != sharedPlaces.end() ? shared->second : places(row);
        };
        std::sort(plan.order.begin(), plan.order.end(), [&](std::size_t a, std::size_t b) {
            const StreamPlace& placeA = groupPlace(a);
            const StreamPlace& placeB = groupPlace(b);
            return std::tie(placeA.section, placeA.offset, firstOfGroup[a], a) <
                   std::tie(placeB.section, placeB.offset, firstOfGroup[b], b);
        });
    }
    for (const std::size_t row : plan.order)
        if (places(row).section != tarnwick::helpfile::kUnknownPlace.section) plan.reads.push_back(places(row));
    return plan;
}

void AnnounceReads(IStorage* storage, const ExtractionPlan& plan, unsigned threads)
{
    ComRef<IStreamPlacement> placement;
    if (!storage || FAILED(storage->QueryInterface(IID_IStreamPlacement, reinterpret_cast<void**>(placement.Put()))))
        return;
    placement->AnnounceReads(plan.reads.data(), static_cast<ULONG>(plan.reads.size()), threads);
}
