// Damaged help files whose damage has one right answer: what is refused, what is lost, and what
// must still read as before. (That any damage at all ends cleanly, with every enumerated name
// opening its element and no stream giving more than it announced, is the fuzz targets' to check;
// every input that ever made one fail is replayed on every run.)
#include "storage/ChmArchive.h"
#include "storage/ItsStorage.h"
#include "storage/ITStorage.h"
#include "StorageTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick::storage::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The bytes of a sample file and what 7zz extracted from it.
struct Original {
    Bytes bytes;
    RawLayout layout;
    ExtractedTree oracle;

    explicit Original(const std::string& name)
        : bytes(ReadFileBytes(CorpusDir() / (name + ".chm"))), layout(bytes),
          oracle(ListExtracted(FixturesDir() / "corpus" / (name + ".extracted")))
    {
    }
    std::size_t Chunk(std::size_t index) const { return layout.chunksOffset + index * layout.chunkSize; }
    // The largest presented stream of section 1: its loss is easy to see.
    const RawEntry& Victim() const
    {
        const RawEntry* best = nullptr;
        for (const RawEntry& e : layout.entries)
            if (PresentedPath(e) && e.section == 1 && e.name.back() != '/' && (!best || e.length > best->length)) best = &e;
        return *best;
    }
    // Which of its chunk's entries `entry` is.
    std::size_t IndexInChunk(const RawEntry& entry) const
    {
        std::size_t index = 0;
        for (const RawEntry& e : layout.entries) {
            if (&e == &entry) return index;
            index += e.chunk == entry.chunk;
        }
        return index;
    }
};

const Original& Load(const std::string& name)
{
    static std::map<std::string, Original> cache;
    return cache.try_emplace(name, name).first->second;
}

// Refused: listed, but the stream will not open; a stream that reaches past its data must be
// refused outright rather than read as far as it goes.
enum class State { Intact, Refused, Gone };
using Expected = std::function<State(const RawEntry&, const Original&)>;

struct Damage {
    const char* label;
    const char* file;
    std::function<void(Bytes&, const Original&)> apply;
    Expected expected; // empty: the file must be refused
};

const Expected kAllIntact = [](const RawEntry&, const Original&) { return State::Intact; };

const Expected kOnlyVictimRefused = [](const RawEntry& e, const Original& o) {
    return &e == &o.Victim() ? State::Refused : State::Intact;
};
const Expected kCompressedSectionUnusable = [](const RawEntry& e, const Original&) {
    return e.section == 1 && e.length > 0 ? State::Refused : State::Intact;
};

// Chunk `chunk` lost its entries from the `kept`-th on.
Expected ChunkLosesEntries(std::size_t chunk, std::size_t kept)
{
    return [=](const RawEntry& e, const Original& o) {
        return e.chunk == chunk && o.IndexInChunk(e) >= kept ? State::Gone : State::Intact;
    };
}

std::function<void(Bytes&, const Original&)> SetLe32(std::function<std::size_t(const Original&)> where, std::uint32_t value)
{
    return [=](Bytes& b, const Original& o) { PutLe32(b, where(o), value); };
}

std::function<void(Bytes&, const Original&)> EditEntry(std::function<const RawEntry&(const Original&)> which,
                                                       std::function<void(RawEntry&)> change)
{
    return [=](Bytes& b, const Original& o) { o.layout.EditEntry(b, which(o).name, change); };
}

const RawEntry& TheVictim(const Original& o) { return o.Victim(); }
auto Internal(std::string_view name)
{
    return [=](const Original& o) -> const RawEntry& { return o.layout.Find(name); };
}

// Keeps the first `kept` entries of listing chunk `chunk` and writes `raw` after them.
std::function<void(Bytes&, const Original&)> DamageChunkEntry(std::size_t chunk, std::size_t kept, Bytes raw)
{
    return [=](Bytes& b, const Original& o) {
        std::vector<RawEntry> entries;
        for (const RawEntry& e : o.layout.entries)
            if (e.chunk == chunk && entries.size() < kept) entries.push_back(e);
        o.layout.RewriteChunk(b, chunk, entries);
        const std::size_t end = o.Chunk(chunk + 1) - Le32(b, o.Chunk(chunk) + 4);
        std::copy(raw.begin(), raw.end(), b.begin() + static_cast<std::ptrdiff_t>(end));
        PutLe32(b, o.Chunk(chunk) + 4, static_cast<std::uint32_t>(o.Chunk(chunk + 1) - end - raw.size()));
    };
}

std::vector<Damage> Damages()
{
    const auto itsp = [](std::size_t field) { return [=](const Original& o) { return o.layout.itspOffset + field; }; };
    return {
        {"itsf_version_4", "example", SetLe32([](const Original&) { return 4; }, 4), {}},
        // Version 2 headers have no content offset: it follows the directory, as here anyway.
        {"itsf_version_2", "example", SetLe32([](const Original&) { return 4; }, 2), kAllIntact},
        {"chunk_size_past_limit", "example", SetLe32(itsp(0x10), 0x100001), {}},
        // Chunks past the directory hold no listing signature, so an absurd count changes nothing.
        {"chunk_count_max", "topics.classic", SetLe32(itsp(0x2C), 0xFFFFFFFFu), kAllIntact},
        // Depth, root index chunk, first and last listing chunk: often wrong in real files.
        {"index_fields_wrong", "topics.classic",
         [](Bytes& b, const Original& o) {
             for (const auto& [field, value] : {std::pair{0x18u, 0u}, {0x1Cu, 0xFFFFFFF0u}, {0x20u, 0xFFFFFFu}, {0x24u, 77u}})
                 PutLe32(b, o.layout.itspOffset + field, value);
         },
         kAllIntact},
        // topics.classic has three listing chunks: damage to one costs only its own entries.
        {"name_length_past_chunk", "topics.classic", DamageChunkEntry(1, 5, {0x83, 0xFF, 0x7F}), ChunkLosesEntries(1, 5)},
        {"entry_runs_off_chunk", "topics.classic", DamageChunkEntry(1, 3, {0x05, '/', 'a', 'b', 'c', 'd', 0x00, 0x80}),
         ChunkLosesEntries(1, 3)},
        {"chunk_signature", "topics.classic", [](Bytes& b, const Original& o) { b[o.Chunk(1) + 3] = 'X'; },
         ChunkLosesEntries(1, 0)},
        {"chunk_free_space_past_header", "topics.classic",
         [](Bytes& b, const Original& o) { PutLe32(b, o.Chunk(1) + 4, static_cast<std::uint32_t>(o.layout.chunkSize - 0x10)); },
         ChunkLosesEntries(1, 0)},
        // Directory entries that point where they must not.
        {"entry_runs_past_section", "example", [](Bytes& b, const Original& o) {
             const std::uint64_t sectionEnd = Le64(o.layout.Stream(o.bytes, kResetTable), 0x10);
             o.layout.EditEntry(b, o.Victim().name, [&](RawEntry& e) { e.length = sectionEnd - e.offset + 1; });
         },
         kOnlyVictimRefused},
        {"entry_offset_and_length_wrap", "example", EditEntry(TheVictim, [](RawEntry& e) { e.offset = UINT64_MAX - 5, e.length = 100; }),
         kOnlyVictimRefused},
        {"entry_unknown_section", "example", EditEntry(TheVictim, [](RawEntry& e) { e.section = 7; }), kOnlyVictimRefused},
        // The compressed section's own streams. Compressed data said to run past the file's end
        // is read as far as it goes, and without its reset table from the section's start.
        {"content_stream_past_file", "example", EditEntry(Internal(kContent), [](RawEntry& e) { e.length = 1u << 20; }),
         kAllIntact},
        {"control_data_missing", "example", EditEntry(Internal(kControlData), [](RawEntry& e) { e.name[3] = 'X'; }),
         kCompressedSectionUnusable},
        {"reset_table_short", "example", EditEntry(Internal(kResetTable), [](RawEntry& e) { e.length = 12; }),
         kAllIntact},
    };
}

TEST(Crafted, DamageWithOneRightAnswerGivesIt)
{
    for (const Damage& damage : Damages()) {
        SCOPED_TRACE(damage.label);
        const Original& original = Load(damage.file);
        Bytes bytes = original.bytes;
        damage.apply(bytes, original);
        std::shared_ptr<ChmArchive> archive = ChmArchive::Open(MakeMemorySource(std::move(bytes)));
        ASSERT_EQ(archive != nullptr, static_cast<bool>(damage.expected));
        if (!archive) continue;
        ComRef<IStorage> root(new ItsStorage(std::move(archive), DirectoryTree::kRoot));
        const TreeSeen tree = WalkTree(root.Get());
        for (const RawEntry& entry : original.layout.entries) {
            const auto path = PresentedPath(entry);
            if (!path || path->back() == '/') continue;
            const auto seen = tree.streams.find(*path);
            const State state = seen == tree.streams.end() ? State::Gone
                                : seen->second.complete && seen->second.bytes == original.oracle.files.at(*path)
                                    ? State::Intact
                                    : State::Refused;
            if (state == State::Refused) {
                EXPECT_FALSE(seen->second.opened) << *path << " opened, then failed";
            }
            EXPECT_EQ(state, damage.expected(entry, original)) << *path;
        }
    }
}

TEST(NotAHelpFile, OpeningFailsAndHandsOutNothing)
{
    const std::string page = "<html><body>A web page, not a compiled help file.</body></html>\n";
    for (const Bytes& bytes : {Bytes(page.begin(), page.end()), Bytes{'I', 'T', 'S', 'F'}, Bytes(65536, 0), Bytes{}})
        EXPECT_FALSE(ChmArchive::Open(MakeMemorySource(bytes)));

    ComRef<IITStorage> factory;
    ASSERT_EQ(CreateITStorage(factory.Put()), S_OK);
    TempFolder folder;
    ComRef<IStorage> root;
    const auto open = [&](const fs::path& path) {
        return factory->StgOpenStorage(Wide(PathUtf8(path)).c_str(), nullptr, STGM_READ, nullptr, 0, root.Put());
    };
    EXPECT_EQ(open(folder / "missing.chm"), STG_E_FILENOTFOUND);
    EXPECT_TRUE(FAILED(open(folder.Path()))) << "a folder is not a help file";
    EXPECT_FALSE(root);
}

} // namespace
} // namespace tarnwick::storage::test
