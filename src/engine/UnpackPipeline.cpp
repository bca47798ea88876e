#include "engine/UnpackPipeline.h"

#include "engine/ExtractionPlan.h"
#include "engine/WriteBehindFileSystem.h"

#include <algorithm>
#include <iterator>
#include <optional>

using tarnwick::helpfile::EntryTable;

namespace {

// The engine writes through `fileSystem` for as long as this lives, then through its own again.
class FileSystemInUse {
public:
    FileSystemInUse(CChmEngine& engine, IFileSystem& fileSystem) : m_engine(engine), m_own(engine.GetFileSystem())
    {
        engine.SetFileSystem(fileSystem);
    }
    ~FileSystemInUse() { m_engine.SetFileSystem(m_own); }
    FileSystemInUse(const FileSystemInUse&) = delete;
    FileSystemInUse& operator=(const FileSystemInUse&) = delete;

private:
    CChmEngine& m_engine;
    IFileSystem& m_own;
};

} // namespace

std::vector<std::size_t> UnpackEntries(CChmEngine& engine, const EntryTable& entries, const std::wstring& destination,
                                       const UnpackSettings& settings, UnpackObserver& observer)
{
    std::optional<CWriteBehindFileSystem> writeBehind;
    if (settings.writeBehind) writeBehind.emplace(engine.GetFileSystem());
    const FileSystemInUse files(engine, writeBehind ? static_cast<IFileSystem&>(*writeBehind) : engine.GetFileSystem());
    engine.ForgetMadeFolders();

    const ExtractionPlan plan = PlanExtraction(entries, settings.usePaths);
    AnnounceReads(entries.Root(), plan, settings.decodeThreads);
    std::vector<std::size_t> failed;
    std::size_t done = 0;
    std::size_t writesFailed = 0;
    for (const std::size_t index : plan.order) {
        if (!observer.Starting(done++, index)) break;
        if (writeBehind) writeBehind->SetTag(index);
        const bool copied = engine.ExtractStream(entries.Storage(index), entries.Folder(index), entries.Name(index),
                                                 destination, settings.usePaths);
        if (!copied) failed.push_back(index);
        observer.Copied(index, copied);
        // As after a failure of its own: the folders it made may be what went away.
        if (writeBehind && writeBehind->FailureCount() != writesFailed) {
            writesFailed = writeBehind->FailureCount();
            engine.ForgetMadeFolders();
        }
    }
    AnnounceReads(entries.Root(), {}, 0);
    if (writeBehind) std::ranges::copy(writeBehind->Finish(), std::back_inserter(failed));
    // A stream whose file failed behind the read that failed too is named once.
    std::sort(failed.begin(), failed.end());
    failed.erase(std::unique(failed.begin(), failed.end()), failed.end());
    return failed;
}
