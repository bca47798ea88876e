// libFuzzer entry point for the engine: any bytes are opened as a help file from memory, walked
// into rows as the window walks them, and every row is unpacked twice: under its folders row by row as the window
// does, and flat through the command line's pipeline, into a file system held in memory. The file system traps on anything that a hostile name could
// turn into harm: a path that leaves the target folder, a name Windows would read as something
// else, a file reported written whose size is not the listed one, a failed file left behind. The
// facts `info` shows are gathered from the same file, and must count the rows the walk made; then
// every stream is read as `test` reads it.
#include "ContainedPaths.h"
#include "engine/ChmEngine.h"
#include "engine/IntegrityCheck.h"
#include "engine/MemoryList.h"
#include "engine/platform/GenericFileTypes.h"
#include "engine/UnpackPipeline.h"
#include "helpfile/HelpFileFacts.h"
#include "HelpFileBytes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>

using tarnwick::helpfile::EntryTable;
using tarnwick::helpfile::ReadEntryTable;
using tarnwick::helpfile::WalkScope;

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
    bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }

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

// Each file reported written must hold the entry's listed size; a failed one must not be left.
class SizeChecks final : public UnpackObserver {
public:
    SizeChecks(const EntryTable& entries, MemoryFileSystem& disk) : m_entries(entries), m_disk(disk) {}
    bool Starting(std::size_t done, std::size_t) override
    {
        m_disk.lastCreated.clear();
        return done < kMostRowsUnpacked;
    }
    void Copied(std::size_t index, bool written) override
    {
        if (written)
            Check(m_disk.files.count(m_disk.lastCreated) && m_disk.files[m_disk.lastCreated] == m_entries[index].size);
        else if (!m_disk.lastCreated.empty())
            Check(m_disk.files.count(m_disk.lastCreated) == 0);
    }

private:
    const EntryTable& m_entries;
    MemoryFileSystem& m_disk;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const tarnwick::storage::ComRef<IStorage> root = OpenHelpFileBytes(data, size);
    if (!root) return 0;

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
    // The table every other reader takes holds the window's rows.
    const EntryTable listed = ReadEntryTable(root.Get(), WalkScope::Listed);
    Check(listed.Size() == rows.Rows().size());
    for (std::size_t i = 0; i < listed.Size(); ++i) {
        const CMemoryRow& row = rows.Rows()[i];
        Check(listed.Name(i) == row.cells[0] && listed[i].size == ListedSize(row) && listed.Folder(i) == row.cells[3]);
    }
    const tarnwick::helpfile::HelpFileFacts facts = tarnwick::helpfile::GatherFacts(root.Get());
    std::uint64_t listedBytes = 0;
    for (std::size_t i = 0; i < listed.Size(); ++i) // the facts' total stops at the largest value rather than wrap
        listedBytes = listed[i].size > UINT64_MAX - listedBytes ? UINT64_MAX : listedBytes + listed[i].size;
    Check(facts.streams.listedStreams == listed.Size());
    Check(facts.streams.listedBytes == listedBytes);

    // Row by row in listing order, as the window does; then as the command line does: in data
    // order, decoded ahead on worker threads.
    SizeChecks sizes(listed, disk);
    std::size_t done = 0;
    for (const CMemoryRow& row : rows.Rows()) {
        if (!sizes.Starting(done++, 0)) break;
        sizes.Copied(static_cast<std::size_t>(&row - rows.Rows().data()),
                     engine.ExtractStream(engine.GetParentStorage(row.itemData), row.cells[3], row.cells[0], kTarget, TRUE));
    }
    const std::vector<std::size_t> failed = UnpackEntries(engine, listed, kTarget, {false, 2, false}, sizes);
    Check(std::is_sorted(failed.begin(), failed.end()) && std::adjacent_find(failed.begin(), failed.end()) == failed.end());

    // What `test` reads: every stream, the internal ones too, each damaged one named once.
    const EntryTable all = ReadEntryTable(root.Get(), WalkScope::All);
    const IntegrityReport integrity = CheckIntegrity(all, 1, [](std::size_t, std::size_t) { return true; });
    for (std::size_t i = 0; i < integrity.damaged.size(); ++i) {
        Check(integrity.damaged[i].index < all.Size());
        Check(i == 0 || integrity.damaged[i - 1].index < integrity.damaged[i].index);
    }
    return 0;
}
