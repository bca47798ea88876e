// libFuzzer entry point for the engine: any bytes are opened as a help file from memory, walked
// into rows as the window walks them, and every row is unpacked twice, under its folders and flat,
// into a file system held in memory. The file system traps on anything that a hostile name could
// turn into harm: a path that leaves the target folder, a name Windows would read as something
// else, a file reported written whose size is not the listed one, a failed file left behind. The
// facts `info` shows are gathered from the same file, and must count the rows the walk made; then
// every stream is read as `test` reads it.
#include "ChmArchive.h"
#include "ChmEngine.h"
#include "ContainedPaths.h"
#include "ExtractionPlan.h"
#include "GenericFileTypes.h"
#include "HelpFileFacts.h"
#include "IntegrityCheck.h"
#include "ItsStorage.h"
#include "MemoryList.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

const std::wstring kTarget = L"/unpacked";
constexpr std::uint64_t kDiskSize = 16u << 20; // also bounds the decoding a file can ask for
constexpr std::size_t kMostRowsUnpacked = 2000;


std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.rfind(L'/')); }

class MemoryFileSystem final : public IFileSystem {
public:
    std::map<std::wstring, std::uint64_t> files; // path -> size written
    std::set<std::wstring> folders{kTarget};
    std::wstring lastCreated;

    bool DirectoryExists(const std::wstring& path) override { return folders.count(path) != 0; }

    void MakeDirectory(const std::wstring& path) override
    {
        CheckContained(kTarget, path);
        if (files.count(path) == 0 && folders.count(ParentOf(path)) != 0) folders.insert(path);
    }

    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override
    {
        CheckContained(kTarget, path);
        lastCreated = path;
        if (folders.count(path) != 0 || folders.count(ParentOf(path)) == 0) {
            error.cause = FileErrorCause::BadPath;
            return nullptr;
        }
        files[path] = 0;
        return std::make_unique<File>(*this, path);
    }

    void RemoveFile(const std::wstring& path) override
    {
        Check(path == lastCreated);
        files.erase(path);
    }

private:
    class File final : public IOutputFile {
    public:
        File(MemoryFileSystem& owner, std::wstring path) : m_owner(owner), m_path(std::move(path)) {}

        bool Write(std::span<const std::uint8_t> bytes, FileError& error) override
        {
            if (m_owner.m_used + bytes.size() > kDiskSize) {
                error.cause = FileErrorCause::DiskFull;
                return false;
            }
            m_owner.m_used += bytes.size();
            m_owner.files[m_path] += bytes.size();
            return true;
        }
        bool Close(FileError&) override { return true; }

    private:
        MemoryFileSystem& m_owner;
        std::wstring m_path;
    };

    std::uint64_t m_used = 0;
};

std::uint64_t ListedSize(const CMemoryRow& row) { return std::wcstoull(row.cells[1].c_str(), nullptr, 10); }

void UnpackRows(CChmEngine& engine, const CMemoryList& rows, const std::vector<std::size_t>& order,
                MemoryFileSystem& disk, bool usePaths)
{
    std::size_t unpacked = 0;
    for (const std::size_t index : order) {
        const CMemoryRow& row = rows.Rows()[index];
        if (++unpacked > kMostRowsUnpacked) return;
        disk.lastCreated.clear();
        const BOOL written = engine.ExtractStream(engine.GetParentStorage(row.itemData), row.cells[3], row.cells[0],
                                                  kTarget, usePaths ? TRUE : FALSE);
        if (written) {
            Check(disk.files.count(disk.lastCreated) && disk.files[disk.lastCreated] == ListedSize(row));
        } else if (!disk.lastCreated.empty()) {
            Check(disk.files.count(disk.lastCreated) == 0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwick::storage;
    std::shared_ptr<ChmArchive> archive = ChmArchive::Open(MakeMemorySource(std::vector<std::uint8_t>(data, data + size)));
    if (!archive) return 0;
    ComRef<IStorage> root(new ItsStorage(std::move(archive), DirectoryTree::kRoot));

    MemoryFileSystem disk;
    CChmEngine engine({}, disk);
    CMemoryList rows;
    CGenericFileTypes types;
    const int count = engine.WalkStorage(rows, types, root.Get(), L"");
    Check(count == rows.GetRowCount());
    for (const CMemoryRow& row : rows.Rows()) {
        Check(engine.GetParentStorage(row.itemData) != nullptr);
        Check(!row.cells[0].empty() && row.cells[0][0] != L'#' && row.cells[0][0] != L'$');
    }
    const tarnwick::helpfile::HelpFileFacts facts = tarnwick::helpfile::GatherFacts(root.Get());
    std::uint64_t listedBytes = 0;
    for (const CMemoryRow& row : rows.Rows()) // the facts' total stops at the largest value rather than wrap
        listedBytes = ListedSize(row) > UINT64_MAX - listedBytes ? UINT64_MAX : listedBytes + ListedSize(row);
    Check(facts.streams.listedStreams == rows.Rows().size());
    Check(facts.streams.listedBytes == listedBytes);
    // In listing order as the window does, then as the command line does: in data order, decoded
    // ahead on worker threads.
    std::vector<std::size_t> listed(rows.Rows().size());
    std::iota(listed.begin(), listed.end(), std::size_t{0});
    UnpackRows(engine, rows, listed, disk, true);
    const ExtractionPlan plan = PlanExtraction(
        listed.size(),
        [&](std::size_t i) {
            const CMemoryRow& row = rows.Rows()[i];
            return ExtractionRow{engine.GetParentStorage(row.itemData), row.cells[3], row.cells[0]};
        },
        false);
    std::vector<std::size_t> planned = plan.order;
    std::sort(planned.begin(), planned.end());
    Check(planned == listed);
    AnnounceReads(root.Get(), plan, 2);
    UnpackRows(engine, rows, plan.order, disk, false);

    // What `test` reads: every stream, the internal ones too, each damaged one named once.
    const tarnwick::helpfile::StreamWalk walk = tarnwick::helpfile::AllStreams(root.Get());
    const IntegrityReport integrity = CheckIntegrity(root.Get(), walk, 1, [](std::size_t, const auto&) {});
    for (std::size_t i = 0; i < integrity.damaged.size(); ++i) {
        Check(integrity.damaged[i].index < walk.streams.size());
        Check(i == 0 || integrity.damaged[i - 1].index < integrity.damaged[i].index);
    }
    return 0;
}
