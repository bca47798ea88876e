// Shared by the storage tests: where the test data lives, name conversions written apart from the
// component's own (so a fault there cannot hide itself), a bounded walk of a storage tree through
// the COM interfaces, and a small reader/writer of the container's directory for crafting damage.
#pragma once

#include "ComRef.h"
#include "ComTypes.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::storage::test {

namespace fs = std::filesystem;

// ---- where the data is -------------------------------------------------------------------------

inline fs::path DataDir(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    return fs::path((value && *value) ? value : fallback);
}

inline fs::path CorpusDir() { return DataDir("TARNWICK_CORPUS", TARNWICK_CORPUS); }
inline fs::path FixturesDir() { return DataDir("TARNWICK_FIXTURES", TARNWICK_FIXTURES); }

// ---- names -------------------------------------------------------------------------------------

inline std::string Utf8FromCodePoints(const std::u32string& points)
{
    std::string out;
    for (char32_t cp : points) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// Only well-formed text is converted here: test names and file-system names are known to be.
inline std::string Utf8(std::wstring_view wide)
{
    std::u32string points;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide[i]));
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(wide[i + 1]) - 0xDC00);
            ++i;
        }
        points += cp;
    }
    return Utf8FromCodePoints(points);
}

inline std::wstring Wide(std::string_view utf8)
{
    std::wstring out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += static_cast<std::size_t>(extra) + 1;
        if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
    }
    return out;
}

inline std::string PathUtf8(const fs::path& path)
{
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

// The form StgOpenStorage takes: UTF-16 on Windows, UTF-32 elsewhere, from the same UTF-8.
inline std::wstring WidePath(const fs::path& path) { return Wide(PathUtf8(path)); }

// ---- files -------------------------------------------------------------------------------------

inline std::FILE* OpenFile(const fs::path& path, const char* mode)
{
#ifdef _WIN32
    return _wfopen(path.wstring().c_str(), std::wstring(mode, mode + std::char_traits<char>::length(mode)).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

inline std::vector<std::uint8_t> ReadFileBytes(const fs::path& path)
{
    std::FILE* file = OpenFile(path, "rb");
    if (!file) throw std::runtime_error("cannot open " + PathUtf8(path));
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

inline void WriteFileBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = OpenFile(path, "wb");
    if (!file) throw std::runtime_error("cannot create " + PathUtf8(path));
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !ok) throw std::runtime_error("cannot write " + PathUtf8(path));
}

// A scratch folder of its own, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        static int counter = 0;
        const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        m_path = fs::temp_directory_path() / ("tarnwick-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
        fs::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

// ---- the oracle: a folder that 7zz extracted ---------------------------------------------------

struct ExtractedTree {
    std::map<std::string, std::uint64_t> files; // "dir/sub/name" -> size
    std::map<std::string, int> folders;         // "dir/sub/"
};

inline ExtractedTree ListExtracted(const fs::path& root)
{
    ExtractedTree tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string relative = PathUtf8(fs::relative(item.path(), root));
        if (item.is_directory()) tree.folders[relative + "/"] = 0;
        else tree.files[relative] = item.file_size();
    }
    return tree;
}

// ---- walking the component's tree --------------------------------------------------------------

struct StreamSeen {
    std::uint64_t statSize = 0;
    HRESULT openResult = S_OK;
    HRESULT readResult = S_OK;       // the first failed Read, or S_OK
    bool complete = false;           // read to a zero-byte read without failure
    bool onlyLastReadShort = true;   // every read before the final one filled its 4096 bytes
    bool overran = false;            // more bytes than STATSTG announced
    std::uint64_t total = 0;         // bytes delivered
    std::vector<std::uint8_t> bytes; // kept when the walk is asked to keep them
};

struct WalkLimits {
    std::uint64_t maxBytes = UINT64_MAX;   // over the whole walk; reading stops there
    std::size_t maxElements = SIZE_MAX;    // enumeration stops there
    bool keepBytes = true;
};

struct TreeSeen {
    std::map<std::string, int> storages;        // "a/b/"
    std::map<std::string, StreamSeen> streams;  // "a/b/c.htm"
    std::vector<std::string> problems;          // interface misbehaviour, not damage being reported
    std::uint64_t bytesRead = 0;
    std::size_t elements = 0;
    bool budgetExhausted = false;
};

namespace detail {

inline void ReadWhole(IStream* stream, StreamSeen& seen, TreeSeen& tree, const WalkLimits& limits)
{
    std::uint8_t buffer[4096];
    bool sawShort = false;
    for (;;) {
        if (tree.bytesRead >= limits.maxBytes) {
            tree.budgetExhausted = true;
            return;
        }
        ULONG got = 0xFFFFFFFF;
        const HRESULT hr = stream->Read(buffer, sizeof buffer, &got);
        if (FAILED(hr)) {
            seen.readResult = hr;
            if (got != 0) tree.problems.push_back("a failed Read reported bytes");
            return;
        }
        if (got > sizeof buffer) {
            tree.problems.push_back("Read reported more than it was asked for");
            return;
        }
        if (got == 0) {
            seen.complete = true;
            return;
        }
        if (sawShort) seen.onlyLastReadShort = false;
        if (got < sizeof buffer) sawShort = true;
        tree.bytesRead += got;
        seen.total += got;
        if (limits.keepBytes) seen.bytes.insert(seen.bytes.end(), buffer, buffer + got);
        if (seen.total > seen.statSize) {
            seen.overran = true;
            return;
        }
    }
}

inline void WalkStorage(IStorage* storage, const std::string& prefix, TreeSeen& tree, const WalkLimits& limits)
{
    ComRef<IEnumSTATSTG> enumerator;
    const HRESULT hr = storage->EnumElements(0, nullptr, 0, enumerator.Put());
    if (FAILED(hr) || !enumerator) {
        tree.problems.push_back("EnumElements failed on '" + prefix + "'");
        return;
    }
    STATSTG record{};
    while (enumerator->Next(1, &record, nullptr) == S_OK) {
        if (++tree.elements > limits.maxElements) {
            CoTaskMemFree(record.pwcsName);
            tree.budgetExhausted = true;
            return;
        }
        if (!record.pwcsName) {
            tree.problems.push_back("an element without a name under '" + prefix + "'");
            continue;
        }
        const std::wstring name = record.pwcsName;
        CoTaskMemFree(record.pwcsName);
        record.pwcsName = nullptr;
        const std::string path = prefix + Utf8(name);

        if (record.type == STGTY_STORAGE) {
            if (!tree.storages.emplace(path + "/", 0).second) tree.problems.push_back("listed twice: " + path + "/");
            ComRef<IStorage> child;
            const HRESULT opened = storage->OpenStorage(name.c_str(), nullptr, 0, nullptr, 0, child.Put());
            if (FAILED(opened) || !child) {
                tree.problems.push_back("an enumerated storage does not open: " + path);
                continue;
            }
            WalkStorage(child.Get(), path + "/", tree, limits);
        } else if (record.type == STGTY_STREAM) {
            auto [it, fresh] = tree.streams.emplace(path, StreamSeen{});
            if (!fresh) {
                tree.problems.push_back("listed twice: " + path);
                continue;
            }
            StreamSeen& seen = it->second;
            seen.statSize = record.cbSize.QuadPart;
            ComRef<IStream> stream;
            seen.openResult = storage->OpenStream(name.c_str(), nullptr, 0, 0, stream.Put());
            if (FAILED(seen.openResult)) {
                if (stream) tree.problems.push_back("a failed OpenStream handed out a stream: " + path);
                // Damage may make a stream unreadable, but its enumerated name must still find it.
                if (seen.openResult == STG_E_FILENOTFOUND) tree.problems.push_back("not found by its enumerated name: " + path);
                continue;
            }
            if (!stream) {
                tree.problems.push_back("OpenStream succeeded without a stream: " + path);
                continue;
            }
            ReadWhole(stream.Get(), seen, tree, limits);
        } else {
            tree.problems.push_back("an element of type " + std::to_string(record.type) + ": " + path);
        }
        if (tree.budgetExhausted) return;
    }
}

} // namespace detail

// Walks the whole tree the way a caller of the component does: Next(1, ..., nullptr) until it
// stops returning S_OK, every storage opened and walked, every stream read in 4096-byte reads.
inline TreeSeen WalkTree(IStorage* root, const WalkLimits& limits = {})
{
    TreeSeen tree;
    detail::WalkStorage(root, "", tree, limits);
    return tree;
}

// ---- the container's directory, for crafting damage --------------------------------------------

inline std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline std::uint64_t Le64(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return Le32(b, at) | (static_cast<std::uint64_t>(Le32(b, at + 4)) << 32);
}
inline void PutLe32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutLe64(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::vector<std::uint8_t> EncodeInt(std::uint64_t value)
{
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(value & 0x7F)};
    while (value >>= 7) out.insert(out.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    return out;
}

struct RawEntry {
    std::string name;
    std::uint64_t section = 0, offset = 0, length = 0;
    std::size_t chunk = 0;
};

struct RawLayout {
    std::size_t itspOffset = 0;  // where the directory header is
    std::size_t chunksOffset = 0;
    std::size_t chunkSize = 0;
    std::size_t chunkCount = 0;
    std::uint64_t contentOffset = 0; // section 0's start
    std::vector<RawEntry> entries;

    const RawEntry& Find(std::string_view name) const
    {
        for (const RawEntry& e : entries)
            if (e.name == name) return e;
        throw std::runtime_error("no entry " + std::string(name));
    }
    std::vector<std::uint8_t> Stream(const std::vector<std::uint8_t>& file, std::string_view name) const
    {
        const RawEntry& e = Find(name);
        if (e.section != 0) throw std::runtime_error("not in section 0: " + std::string(name));
        const auto at = static_cast<std::ptrdiff_t>(contentOffset + e.offset);
        return {file.begin() + at, file.begin() + at + static_cast<std::ptrdiff_t>(e.length)};
    }
    std::size_t StreamAt(std::string_view name) const
    {
        return static_cast<std::size_t>(contentOffset + Find(name).offset);
    }
};

namespace detail {
inline std::uint64_t TakeInt(const std::vector<std::uint8_t>& b, std::size_t& pos)
{
    std::uint64_t v = 0;
    for (;;) {
        const std::uint8_t byte = b.at(pos++);
        v = (v << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return v;
    }
}
} // namespace detail

inline constexpr std::size_t kListingHeader = 0x14;

// Reads an undamaged version-3 file, as the generated fixtures and the sample files are.
inline RawLayout ParseLayout(const std::vector<std::uint8_t>& file)
{
    RawLayout layout;
    layout.itspOffset = static_cast<std::size_t>(Le64(file, 0x48));
    layout.contentOffset = Le64(file, 0x58);
    layout.chunksOffset = layout.itspOffset + Le32(file, layout.itspOffset + 8);
    layout.chunkSize = Le32(file, layout.itspOffset + 0x10);
    layout.chunkCount = Le32(file, layout.itspOffset + 0x2C);
    for (std::size_t c = 0; c < layout.chunkCount; ++c) {
        const std::size_t at = layout.chunksOffset + c * layout.chunkSize;
        if (std::string_view(reinterpret_cast<const char*>(&file[at]), 4) != "PMGL") continue;
        const std::size_t end = at + layout.chunkSize - Le32(file, at + 4);
        for (std::size_t pos = at + kListingHeader; pos < end;) {
            RawEntry e;
            const auto n = static_cast<std::size_t>(detail::TakeInt(file, pos));
            e.name.assign(reinterpret_cast<const char*>(&file[pos]), n);
            pos += n;
            e.section = detail::TakeInt(file, pos);
            e.offset = detail::TakeInt(file, pos);
            e.length = detail::TakeInt(file, pos);
            e.chunk = c;
            layout.entries.push_back(std::move(e));
        }
    }
    return layout;
}

// Writes a listing chunk anew from `entries` (all of which must belong to it), leaving the rest of
// the chunk free. Any entry field may be changed, and the encoded integers may grow.
inline void RewriteChunk(std::vector<std::uint8_t>& file, const RawLayout& layout, std::size_t chunk,
                         const std::vector<RawEntry>& entries)
{
    std::vector<std::uint8_t> area;
    for (const RawEntry& e : entries) {
        const auto put = [&](std::uint64_t v) {
            const auto enc = EncodeInt(v);
            area.insert(area.end(), enc.begin(), enc.end());
        };
        put(e.name.size());
        area.insert(area.end(), e.name.begin(), e.name.end());
        put(e.section);
        put(e.offset);
        put(e.length);
    }
    const std::size_t at = layout.chunksOffset + chunk * layout.chunkSize;
    if (area.size() > layout.chunkSize - kListingHeader) throw std::runtime_error("entries do not fit the chunk");
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(at + kListingHeader),
              file.begin() + static_cast<std::ptrdiff_t>(at + layout.chunkSize), 0);
    std::copy(area.begin(), area.end(), file.begin() + static_cast<std::ptrdiff_t>(at + kListingHeader));
    PutLe32(file, at + 4, static_cast<std::uint32_t>(layout.chunkSize - kListingHeader - area.size()));
}

// Changes one entry (found by name) and writes its chunk anew.
template <class Change>
inline void EditEntry(std::vector<std::uint8_t>& file, const RawLayout& layout, std::string_view name, Change change)
{
    const std::size_t chunk = layout.Find(name).chunk;
    std::vector<RawEntry> entries;
    for (const RawEntry& e : layout.entries)
        if (e.chunk == chunk) entries.push_back(e);
    for (RawEntry& e : entries)
        if (e.name == name) change(e);
    RewriteChunk(file, layout, chunk, entries);
}

inline constexpr std::string_view kControlData = "::DataSpace/Storage/MSCompressed/ControlData";
inline constexpr std::string_view kContent = "::DataSpace/Storage/MSCompressed/Content";
inline constexpr std::string_view kResetTable =
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

// Presented path of a directory entry: no leading slash, storages end in '/'.
inline std::optional<std::string> PresentedPath(const RawEntry& e)
{
    if (e.name.rfind("::", 0) == 0 || e.name == "/") return std::nullopt;
    return e.name[0] == '/' ? e.name.substr(1) : e.name;
}

} // namespace tarnwick::storage::test
