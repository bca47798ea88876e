// Shared by the storage tests: what 7zz extracted, a bounded walk of a storage tree through the COM
// interfaces, and a small reader and writer of the container's directory for crafting damage.
#pragma once

#include "storage/ComRef.h"
#include "storage/ComTypes.h"
#include "support/TestData.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::storage::test {

// ---- the oracle: a folder that 7zz extracted ---------------------------------------------------

struct ExtractedTree {
    std::map<std::string, std::vector<std::uint8_t>> files; // "dir/sub/name" -> content
    std::map<std::string, int> folders;                     // "dir/sub/"
};

inline ExtractedTree ListExtracted(const fs::path& root)
{
    ExtractedTree tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string relative = PathUtf8(fs::relative(item.path(), root));
        if (item.is_directory()) tree.folders[relative + "/"] = 0;
        else tree.files[relative] = ReadFileBytes(item.path());
    }
    return tree;
}

// ---- walking the component's tree --------------------------------------------------------------

struct StreamSeen {
    std::uint64_t statSize = 0;
    bool opened = false;
    bool complete = false;         // read to a zero-byte read without failure
    bool onlyLastReadShort = true; // every read before the final one filled its 4096 bytes
    std::vector<std::uint8_t> bytes;
};

struct TreeSeen {
    std::map<std::string, int> storages;       // "a/b/"
    std::map<std::string, StreamSeen> streams; // "a/b/c.htm"
};

// Walks the whole tree as a caller of the component does: Next(1, ..., nullptr) until it stops
// returning S_OK, every storage opened and walked, every stream read in 4096-byte reads. (The fuzz
// targets check that the interfaces keep their contracts on any input.)
inline void WalkTree(IStorage* storage, TreeSeen& tree, const std::string& prefix = "")
{
    ComRef<IEnumSTATSTG> enumerator;
    storage->EnumElements(0, nullptr, 0, enumerator.Put());
    STATSTG record{};
    while (enumerator && enumerator->Next(1, &record, nullptr) == S_OK) {
        const std::wstring name = record.pwcsName;
        CoTaskMemFree(record.pwcsName);
        const std::string path = prefix + Utf8(name);
        if (record.type == STGTY_STORAGE) {
            tree.storages[path + "/"] = 0;
            ComRef<IStorage> child;
            if (SUCCEEDED(storage->OpenStorage(name.c_str(), nullptr, 0, nullptr, 0, child.Put())))
                WalkTree(child.Get(), tree, path + "/");
            continue;
        }
        StreamSeen& seen = tree.streams[path];
        seen.statSize = record.cbSize.QuadPart;
        ComRef<IStream> stream;
        if (FAILED(storage->OpenStream(name.c_str(), nullptr, 0, 0, stream.Put()))) continue;
        seen.opened = true;
        std::uint8_t buffer[4096];
        ULONG got = 0;
        bool sawShort = false;
        HRESULT hr = S_OK;
        while (SUCCEEDED(hr = stream->Read(buffer, sizeof buffer, &got)) && got > 0 && seen.bytes.size() < seen.statSize) {
            seen.onlyLastReadShort = seen.onlyLastReadShort && !sawShort;
            sawShort = got < sizeof buffer;
            seen.bytes.insert(seen.bytes.end(), buffer, buffer + got);
        }
        seen.complete = SUCCEEDED(hr) && got == 0;
    }
}

inline TreeSeen WalkTree(IStorage* root)
{
    TreeSeen tree;
    WalkTree(root, tree);
    return tree;
}

// ---- the container's directory, for crafting damage --------------------------------------------

inline std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) { return static_cast<std::uint32_t>(LeAt(b, at, 4)); }
inline std::uint64_t Le64(const std::vector<std::uint8_t>& b, std::size_t at) { return LeAt(b, at, 8); }
inline void PutLe32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) { PutLeAt(b, at, v, 4); }
inline void PutLe64(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v) { PutLeAt(b, at, v, 8); }

struct RawEntry {
    std::string name;
    std::uint64_t section = 0, offset = 0, length = 0;
    std::size_t chunk = 0;
};

inline constexpr std::size_t kListingHeader = 0x14;
inline constexpr std::string_view kControlData = "::DataSpace/Storage/MSCompressed/ControlData";
inline constexpr std::string_view kContent = "::DataSpace/Storage/MSCompressed/Content";
inline constexpr std::string_view kResetTable =
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

// The directory of an undamaged version-3 file, as the generated fixtures and the samples are.
struct RawLayout {
    std::size_t itspOffset = 0;
    std::size_t chunksOffset = 0;
    std::size_t chunkSize = 0;
    std::size_t chunkCount = 0;
    std::uint64_t contentOffset = 0; // section 0's start
    std::vector<RawEntry> entries;

    explicit RawLayout(const std::vector<std::uint8_t>& file)
        : itspOffset(static_cast<std::size_t>(Le64(file, 0x48))), contentOffset(Le64(file, 0x58))
    {
        chunksOffset = itspOffset + Le32(file, itspOffset + 8);
        chunkSize = Le32(file, itspOffset + 0x10);
        chunkCount = Le32(file, itspOffset + 0x2C);
        for (std::size_t c = 0; c < chunkCount; ++c) {
            const std::size_t at = chunksOffset + c * chunkSize;
            if (std::string_view(reinterpret_cast<const char*>(&file[at]), 4) != "PMGL") continue;
            const std::size_t end = at + chunkSize - Le32(file, at + 4);
            for (std::size_t pos = at + kListingHeader; pos < end;) {
                RawEntry e;
                const auto n = static_cast<std::size_t>(TakeInt(file, pos));
                e.name.assign(reinterpret_cast<const char*>(&file[pos]), n);
                pos += n;
                e.section = TakeInt(file, pos);
                e.offset = TakeInt(file, pos);
                e.length = TakeInt(file, pos);
                e.chunk = c;
                entries.push_back(std::move(e));
            }
        }
    }

    const RawEntry& Find(std::string_view name) const
    {
        for (const RawEntry& e : entries)
            if (e.name == name) return e;
        throw std::runtime_error("no entry " + std::string(name));
    }
    std::size_t StreamAt(std::string_view name) const { return static_cast<std::size_t>(contentOffset + Find(name).offset); }
    std::vector<std::uint8_t> Stream(const std::vector<std::uint8_t>& file, std::string_view name) const
    {
        const auto at = static_cast<std::ptrdiff_t>(StreamAt(name));
        return {file.begin() + at, file.begin() + at + static_cast<std::ptrdiff_t>(Find(name).length)};
    }

    // Writes a listing chunk anew from `chunkEntries`, leaving the rest of it free. Any field may
    // change, and the encoded integers may grow.
    void RewriteChunk(std::vector<std::uint8_t>& file, std::size_t chunk, const std::vector<RawEntry>& chunkEntries) const
    {
        std::vector<std::uint8_t> area;
        for (const RawEntry& e : chunkEntries) {
            AppendEncodedInt(area, e.name.size());
            area.insert(area.end(), e.name.begin(), e.name.end());
            for (const std::uint64_t field : {e.section, e.offset, e.length}) AppendEncodedInt(area, field);
        }
        const std::size_t at = chunksOffset + chunk * chunkSize;
        if (area.size() > chunkSize - kListingHeader) throw std::runtime_error("entries do not fit the chunk");
        std::fill(file.begin() + static_cast<std::ptrdiff_t>(at + kListingHeader),
                  file.begin() + static_cast<std::ptrdiff_t>(at + chunkSize), 0);
        std::copy(area.begin(), area.end(), file.begin() + static_cast<std::ptrdiff_t>(at + kListingHeader));
        PutLe32(file, at + 4, static_cast<std::uint32_t>(chunkSize - kListingHeader - area.size()));
    }

    // Changes one entry, found by name, and writes its chunk anew.
    template <class Change>
    void EditEntry(std::vector<std::uint8_t>& file, std::string_view name, Change change) const
    {
        const std::size_t chunk = Find(name).chunk;
        std::vector<RawEntry> chunkEntries;
        for (const RawEntry& e : entries)
            if (e.chunk == chunk) chunkEntries.push_back(e);
        for (RawEntry& e : chunkEntries)
            if (e.name == name) change(e);
        RewriteChunk(file, chunk, chunkEntries);
    }

private:
    static std::uint64_t TakeInt(const std::vector<std::uint8_t>& b, std::size_t& pos)
    {
        std::uint64_t v = 0;
        for (;;) {
            const std::uint8_t byte = b.at(pos++);
            v = (v << 7) | (byte & 0x7F);
            if (!(byte & 0x80)) return v;
        }
    }
};

// Presented path of a directory entry: no leading slash, storages end in '/'.
inline std::optional<std::string> PresentedPath(const RawEntry& e)
{
    if (e.name.rfind("::", 0) == 0 || e.name == "/") return std::nullopt;
    return e.name[0] == '/' ? e.name.substr(1) : e.name;
}

} // namespace tarnwick::storage::test
