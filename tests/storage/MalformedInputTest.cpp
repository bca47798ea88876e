// Damaged and hostile help files. Whatever the damage, opening, enumerating everything and reading
// every stream must end: either the open fails, or the enumeration ends and every read succeeds or
// fails, with no crash, hang or runaway allocation (the sanitizers watch the rest). Where the damage
// has one right answer, that answer is asserted too.
#include "ChmArchive.h"
#include "ITStorage.h"
#include "ItsStorage.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

namespace tarnwick::storage::test {
namespace {

// The bytes of a sample or generated file and what 7zz extracted from it.
struct Original {
    std::vector<std::uint8_t> bytes;
    RawLayout layout;
    std::map<std::string, std::vector<std::uint8_t>> files; // presented path -> content
    std::uint64_t compressedSize = 0;                       // section 1's decompressed length
};

const Original& Load(const std::string& name)
{
    static std::map<std::string, Original> cache;
    auto found = cache.find(name);
    if (found != cache.end()) return found->second;
    const bool sample = fs::exists(CorpusDir() / (name + ".chm"));
    const fs::path chm = sample ? CorpusDir() / (name + ".chm") : FixturesDir() / (name + ".chm");
    const fs::path oracle = sample ? FixturesDir() / "corpus" / (name + ".extracted") : FixturesDir() / (name + ".extracted");
    Original original;
    original.bytes = ReadFileBytes(chm);
    original.layout = ParseLayout(original.bytes);
    for (const auto& [path, size] : ListExtracted(oracle).files)
        original.files[path] = ReadFileBytes(oracle / fs::path(std::u8string(path.begin(), path.end())));
    const auto table = original.layout.Stream(original.bytes, kResetTable);
    original.compressedSize = Le64(table, 0x10);
    return cache.emplace(name, std::move(original)).first->second;
}

struct Outcome {
    bool opened = false;
    TreeSeen tree;
};

constexpr WalkLimits kBounded{.maxBytes = 64u << 20, .maxElements = 200000, .keepBytes = true};

Outcome ExerciseInMemory(std::vector<std::uint8_t> bytes, const WalkLimits& limits = kBounded)
{
    Outcome outcome;
    std::shared_ptr<ChmArchive> archive = ChmArchive::Open(MakeMemorySource(std::move(bytes)));
    if (!archive) return outcome;
    outcome.opened = true;
    ComRef<IStorage> root(new ItsStorage(std::move(archive), DirectoryTree::kRoot));
    outcome.tree = WalkTree(root.Get(), limits);
    return outcome;
}

Outcome ExerciseFile(const std::vector<std::uint8_t>& bytes, HRESULT* openResult = nullptr)
{
    TempDir dir;
    const fs::path path = dir.Path() / "damaged.chm";
    WriteFileBytes(path, bytes);
    ComRef<IITStorage> factory;
    EXPECT_EQ(CreateITStorage(factory.Put()), S_OK);
    ComRef<IStorage> root;
    const HRESULT hr = factory->StgOpenStorage(WidePath(path).c_str(), nullptr, 0x20, nullptr, 0, root.Put());
    if (openResult) *openResult = hr;
    Outcome outcome;
    if (FAILED(hr)) {
        EXPECT_FALSE(root) << "a failed open handed out a storage";
        return outcome;
    }
    EXPECT_TRUE(root);
    if (!root) return outcome;
    outcome.opened = true;
    outcome.tree = WalkTree(root.Get(), kBounded);
    return outcome;
}

// What must hold after any damage at all.
void ExpectCleanEnd(const Outcome& outcome, const std::string& what)
{
    EXPECT_TRUE(outcome.tree.problems.empty()) << what << ": " << outcome.tree.problems.front();
    for (const auto& [path, stream] : outcome.tree.streams)
        EXPECT_FALSE(stream.overran) << what << ": " << path << " gave more bytes than its size";
}

// Damage must not turn into wrong bytes that look right: a read that completes gives the original.
void ExpectCompleteReadsAreCorrect(const Outcome& outcome, const Original& original, const std::string& what)
{
    for (const auto& [path, stream] : outcome.tree.streams) {
        if (!stream.complete) continue;
        const auto expected = original.files.find(path);
        if (expected == original.files.end()) continue;
        EXPECT_TRUE(stream.bytes == expected->second) << what << ": " << path << " read " << stream.bytes.size()
                                                      << " bytes that differ from the original";
    }
}

// Presented streams whose directory entries lie in `section`.
std::vector<std::string> StreamsInSection(const Original& original, std::uint64_t section)
{
    std::vector<std::string> paths;
    for (const RawEntry& e : original.layout.entries) {
        const auto path = PresentedPath(e);
        if (path && path->back() != '/' && e.section == section) paths.push_back(*path);
    }
    return paths;
}

void ExpectStreamsIntact(const Outcome& outcome, const Original& original, const std::vector<std::string>& paths,
                         const std::string& what)
{
    for (const std::string& path : paths) {
        const auto seen = outcome.tree.streams.find(path);
        ASSERT_NE(seen, outcome.tree.streams.end()) << what << ": " << path << " is gone";
        EXPECT_EQ(seen->second.openResult, S_OK) << what << ": " << path;
        EXPECT_TRUE(seen->second.complete) << what << ": " << path;
        EXPECT_TRUE(seen->second.bytes == original.files.at(path)) << what << ": " << path;
    }
}

// ---- not help files at all ---------------------------------------------------------------------

TEST(NotAHelpFile, OpeningFailsAndHandsOutNothing)
{
    const std::string text = "<html><body>This is a web page, not a compiled help file.</body></html>\n";
    const std::vector<std::uint8_t> page(text.begin(), text.end());
    std::vector<std::uint8_t> signatureOnly{'I', 'T', 'S', 'F'};
    std::vector<std::uint8_t> zeros(64 * 1024, 0);

    for (const std::vector<std::uint8_t>* bytes : std::vector<const std::vector<std::uint8_t>*>{&page, &signatureOnly, &zeros}) {
        HRESULT hr = S_OK;
        ExerciseFile(*bytes, &hr);
        EXPECT_TRUE(FAILED(hr));
    }
    HRESULT empty = S_OK;
    ExerciseFile({}, &empty);
    EXPECT_TRUE(FAILED(empty));

    ComRef<IITStorage> factory;
    ASSERT_EQ(CreateITStorage(factory.Put()), S_OK);
    TempDir dir;
    ComRef<IStorage> root;
    EXPECT_EQ(factory->StgOpenStorage(WidePath(dir.Path() / "missing.chm").c_str(), nullptr, 0x20, nullptr, 0, root.Put()),
              STG_E_FILENOTFOUND);
    EXPECT_TRUE(FAILED(factory->StgOpenStorage(WidePath(dir.Path()).c_str(), nullptr, 0x20, nullptr, 0, root.Put())))
        << "a folder is not a help file";
    EXPECT_FALSE(root);

    WriteFileBytes(dir.Path() / "page.htm", page);
    EXPECT_EQ(factory->StgIsStorageFile(WidePath(dir.Path() / "page.htm").c_str()), S_FALSE);
    EXPECT_EQ(factory->StgIsStorageFile(WidePath(CorpusDir() / "example.chm").c_str()), S_OK);
}

// ---- truncation --------------------------------------------------------------------------------

// A cut inside the headers or the directory makes the file unopenable; a cut after them leaves the
// whole tree listed, and only streams whose bytes were cut away may fail.
void CheckTruncations(const std::string& name, std::size_t step)
{
    const Original& original = Load(name);
    const std::size_t directoryEnd = original.layout.chunksOffset + original.layout.chunkCount * original.layout.chunkSize;
    std::set<std::string> allPaths;
    for (const RawEntry& e : original.layout.entries)
        if (const auto p = PresentedPath(e); p && p->back() != '/') allPaths.insert(*p);

    std::vector<std::size_t> cuts;
    for (std::size_t cut = 0; cut < original.bytes.size(); cut += step) cuts.push_back(cut);
    for (std::size_t cut : {std::size_t{0x57}, std::size_t{0x5F}, original.layout.itspOffset + 0x53, directoryEnd - 1,
                            directoryEnd, original.bytes.size() - 1})
        cuts.push_back(cut);

    for (std::size_t cut : cuts) {
        const std::string what = name + " cut at " + std::to_string(cut);
        const std::vector<std::uint8_t> bytes(original.bytes.begin(), original.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        HRESULT hr = S_OK;
        const Outcome outcome = ExerciseFile(bytes, &hr);
        ExpectCleanEnd(outcome, what);
        if (cut < original.layout.chunksOffset + original.layout.chunkSize) {
            EXPECT_TRUE(FAILED(hr)) << what << ": no listing chunk is left, yet the file opened";
            continue;
        }
        if (cut >= directoryEnd) {
            EXPECT_TRUE(outcome.opened) << what;
            std::set<std::string> listed;
            for (const auto& [path, stream] : outcome.tree.streams) listed.insert(path);
            EXPECT_EQ(listed, allPaths) << what << ": the directory is whole, so is the tree";
        }
        ExpectCompleteReadsAreCorrect(outcome, original, what);
    }
}

TEST(Truncated, SmallSamplesAtEveryKilobyte)
{
    for (const char* name : {"example", "combined", "combined2"}) CheckTruncations(name, 1024);
}

TEST(Truncated, MultiChunkSampleAndFixture)
{
    CheckTruncations("topics.classic", 64 * 1024);
    CheckTruncations("many", 16 * 1024);
}

// ---- random bit flips --------------------------------------------------------------------------

TEST(BitFlips, ThousandsOfSeededVariantsEndCleanly)
{
    const Original& original = Load("example");
    // Most flips go where the parsing is: headers, directory and the compressed section's tables.
    const std::size_t parsed = original.layout.StreamAt(kContent) + 64;
    std::mt19937_64 random(0x7A27C0DEu);
    int opened = 0, readSomething = 0;
    constexpr int kVariants = 3000;
    for (int variant = 0; variant < kVariants; ++variant) {
        std::vector<std::uint8_t> bytes = original.bytes;
        const int flips = 1 + static_cast<int>(random() % 6);
        const std::size_t span = (variant % 3 == 0) ? bytes.size() : parsed;
        for (int f = 0; f < flips; ++f) bytes[random() % span] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        const Outcome outcome = ExerciseInMemory(std::move(bytes), {.maxBytes = 16u << 20, .maxElements = 20000});
        ExpectCleanEnd(outcome, "variant " + std::to_string(variant));
        if (HasFailure()) {
            ADD_FAILURE() << "stopping at variant " << variant << " of seed 0x7A27C0DE";
            return;
        }
        opened += outcome.opened;
        readSomething += outcome.tree.bytesRead > 0;
    }
    // If nearly nothing opened, the flips would be testing the header check only.
    EXPECT_GT(opened, kVariants / 3);
    EXPECT_GT(readSomething, kVariants / 4);
}

// ---- crafted damage ----------------------------------------------------------------------------

enum class Expect {
    OpenFails,          // the file must be refused
    SameAsOriginal,     // the damage is in something the reader must not rely on
    CleanEnd,           // no single right answer beyond ending cleanly
    CompleteReadsRight, // ends cleanly, and whatever reads through is the original
};

struct Damage {
    std::string label;
    std::string file;
    std::function<void(std::vector<std::uint8_t>&, const Original&)> apply;
    Expect expect;
    std::function<void(const Outcome&, const Original&)> check = {}; // optional, for one right answer
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.label; }

class Crafted : public testing::TestWithParam<Damage> {};

TEST_P(Crafted, EndsAsExpected)
{
    const Damage& damage = GetParam();
    const Original& original = Load(damage.file);
    std::vector<std::uint8_t> bytes = original.bytes;
    damage.apply(bytes, original);
    const Outcome outcome = ExerciseInMemory(std::move(bytes));
    ExpectCleanEnd(outcome, damage.label);

    switch (damage.expect) {
    case Expect::OpenFails:
        EXPECT_FALSE(outcome.opened);
        break;
    case Expect::SameAsOriginal: {
        ASSERT_TRUE(outcome.opened);
        std::set<std::string> listed, expected;
        for (const auto& [path, stream] : outcome.tree.streams) listed.insert(path);
        for (const auto& [path, content] : original.files) expected.insert(path);
        EXPECT_EQ(listed, expected);
        ExpectStreamsIntact(outcome, original, std::vector<std::string>(expected.begin(), expected.end()), damage.label);
        break;
    }
    case Expect::CompleteReadsRight:
        ExpectCompleteReadsAreCorrect(outcome, original, damage.label);
        break;
    case Expect::CleanEnd:
        break;
    }
    if (damage.check) damage.check(outcome, original);
}

// ---- helpers that build the damage -------------------------------------------------------------

using Bytes = std::vector<std::uint8_t>;

std::function<void(Bytes&, const Original&)> SetLe32At(std::function<std::size_t(const Original&)> where, std::uint32_t value)
{
    return [=](Bytes& b, const Original& o) { PutLe32(b, where(o), value); };
}
std::function<void(Bytes&, const Original&)> SetLe64At(std::function<std::size_t(const Original&)> where, std::uint64_t value)
{
    return [=](Bytes& b, const Original& o) { PutLe64(b, where(o), value); };
}

std::size_t Itsp(const Original& o) { return o.layout.itspOffset; }
std::size_t Control(const Original& o) { return o.layout.StreamAt(kControlData); }
std::size_t Reset(const Original& o) { return o.layout.StreamAt(kResetTable); }

// The largest presented stream of section 1: its loss is easy to see.
const RawEntry& Victim(const Original& o)
{
    const RawEntry* best = nullptr;
    for (const RawEntry& e : o.layout.entries)
        if (PresentedPath(e) && e.section == 1 && e.name.back() != '/' && (!best || e.length > best->length)) best = &e;
    return *best;
}

std::function<void(Bytes&, const Original&)> EditVictim(std::function<void(RawEntry&, const Original&)> change)
{
    return [=](Bytes& b, const Original& o) {
        const RawEntry& victim = Victim(o);
        EditEntry(b, o.layout, victim.name, [&](RawEntry& e) { change(e, o); });
    };
}

// The victim is still listed with its recorded size, its OpenStream fails, and nothing else suffers.
void VictimRefusedOthersIntact(const Outcome& outcome, const Original& o)
{
    ASSERT_TRUE(outcome.opened);
    const std::string victim = *PresentedPath(Victim(o));
    const auto seen = outcome.tree.streams.find(victim);
    ASSERT_NE(seen, outcome.tree.streams.end()) << "a damaged entry is still listed";
    EXPECT_TRUE(FAILED(seen->second.openResult)) << victim << " lies past its section, yet OpenStream succeeded";
    std::vector<std::string> others;
    for (const auto& [path, content] : o.files)
        if (path != victim) others.push_back(path);
    ExpectStreamsIntact(outcome, o, others, "the other streams");
}

void SectionZeroIntact(const Outcome& outcome, const Original& o)
{
    ASSERT_TRUE(outcome.opened);
    ExpectStreamsIntact(outcome, o, StreamsInSection(o, 0), "section 0");
}

// Every stream of the compressed section is refused or fails to read; section 0 is untouched.
void CompressedSectionUnusable(const Outcome& outcome, const Original& o)
{
    SectionZeroIntact(outcome, o);
    for (const std::string& path : StreamsInSection(o, 1)) {
        const auto seen = outcome.tree.streams.find(path);
        ASSERT_NE(seen, outcome.tree.streams.end()) << path;
        if (seen->second.statSize == 0) continue;
        EXPECT_FALSE(seen->second.complete) << path << " was read from an unusable section";
    }
}

// Writes raw bytes over the first entry of listing chunk `chunk`, after `skip` whole entries.
std::function<void(Bytes&, const Original&)> DamageChunkEntry(std::size_t chunk, std::size_t skip, Bytes raw)
{
    return [=](Bytes& b, const Original& o) {
        std::vector<RawEntry> entries;
        for (const RawEntry& e : o.layout.entries)
            if (e.chunk == chunk) entries.push_back(e);
        entries.resize(skip);
        RewriteChunk(b, o.layout, chunk, entries);
        const std::size_t at = o.layout.chunksOffset + chunk * o.layout.chunkSize;
        const std::size_t end = at + o.layout.chunkSize - Le32(b, at + 4);
        // The damage reaches exactly to the end of the entries' area, never into the next chunk.
        const std::size_t areaEnd = end + std::min(raw.size(), at + o.layout.chunkSize - end);
        std::copy(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(areaEnd - end), b.begin() + static_cast<std::ptrdiff_t>(end));
        PutLe32(b, at + 4, static_cast<std::uint32_t>(at + o.layout.chunkSize - std::max(areaEnd, at + o.layout.chunkSize - Le32(o.bytes, at + 4))));
    };
}

// Chunk `damaged` lost its entries from the `kept`-th on; all other chunks' entries are present.
std::function<void(const Outcome&, const Original&)> OnlyChunkLosesEntries(std::size_t damaged, std::size_t kept)
{
    return [=](const Outcome& outcome, const Original& o) {
        ASSERT_TRUE(outcome.opened);
        std::size_t index = 0, lost = 0;
        std::vector<std::string> survivors;
        for (const RawEntry& e : o.layout.entries) {
            const bool gone = e.chunk == damaged && index++ >= kept;
            const auto path = PresentedPath(e);
            if (!path || path->back() == '/') continue;
            const bool listed = outcome.tree.streams.count(*path) > 0;
            if (gone) {
                EXPECT_FALSE(listed) << *path << " came from the damaged part of chunk " << damaged;
                ++lost;
            } else {
                EXPECT_TRUE(listed) << *path << " from an undamaged part is missing";
                survivors.push_back(*path);
            }
        }
        EXPECT_GT(lost, 0u);
        ExpectStreamsIntact(outcome, o, survivors, "undamaged entries");
    };
}

Bytes Repeat(std::uint8_t byte, std::size_t count) { return Bytes(count, byte); }

const std::vector<Damage>& Damages()
{
    static const std::vector<Damage> all = [] {
        std::vector<Damage> d;
        const auto at = [](std::size_t offset) { return [=](const Original&) { return offset; }; };
        const auto itsp = [](std::size_t field) { return [=](const Original& o) { return Itsp(o) + field; }; };

        // The file and directory headers.
        d.push_back({"itsf_version_1", "example", SetLe32At(at(4), 1), Expect::OpenFails});
        d.push_back({"itsf_version_4", "example", SetLe32At(at(4), 4), Expect::OpenFails});
        // Version 2 headers have no content offset: it follows the directory, as here anyway.
        d.push_back({"itsf_version_2", "example", SetLe32At(at(4), 2), Expect::SameAsOriginal});
        d.push_back({"directory_offset_past_end", "example", SetLe64At(at(0x48), 1u << 30), Expect::OpenFails});
        d.push_back({"directory_offset_max", "example", SetLe64At(at(0x48), UINT64_MAX), Expect::OpenFails});
        d.push_back({"directory_offset_into_last_bytes", "example",
                     [](Bytes& b, const Original&) { PutLe64(b, 0x48, b.size() - 20); }, Expect::OpenFails});
        d.push_back({"directory_length_max_v2", "example",
                     [](Bytes& b, const Original&) { PutLe32(b, 4, 2); PutLe64(b, 0x50, UINT64_MAX); }, Expect::CleanEnd});
        d.push_back({"content_offset_max", "example", SetLe64At(at(0x58), UINT64_MAX), Expect::CleanEnd,
                     [](const Outcome& outcome, const Original&) {
                         ASSERT_TRUE(outcome.opened) << "the directory is whole";
                         for (const auto& [path, s] : outcome.tree.streams) {
                             if (s.statSize > 0) {
                                 EXPECT_FALSE(s.complete) << path << " read from nowhere";
                             }
                         }
                     }});
        d.push_back({"content_offset_past_end", "example",
                     [](Bytes& b, const Original&) { PutLe64(b, 0x58, b.size() + 1); }, Expect::CleanEnd});
        d.push_back({"itsp_signature", "example", [](Bytes& b, const Original& o) { b[Itsp(o)] = 'X'; }, Expect::OpenFails});
        d.push_back({"itsp_header_length_huge", "example", SetLe32At(itsp(8), 0xFFFFFFF0u), Expect::CleanEnd});
        d.push_back({"chunk_count_zero", "example", SetLe32At(itsp(0x2C), 0), Expect::OpenFails});
        // Chunks past the directory hold no listing signature, so an absurd count changes nothing.
        d.push_back({"chunk_count_max", "example", SetLe32At(itsp(0x2C), 0xFFFFFFFFu), Expect::SameAsOriginal});
        d.push_back({"chunk_count_max_multi", "topics.classic", SetLe32At(itsp(0x2C), 0xFFFFFFFFu), Expect::SameAsOriginal});
        for (std::uint32_t size : {0u, 1u, 0x1Fu, 0x100001u, 0xFFFFFFFFu})
            d.push_back({"chunk_size_" + std::to_string(size), "example", SetLe32At(itsp(0x10), size), Expect::OpenFails});
        d.push_back({"chunk_size_halved", "topics.classic", SetLe32At(itsp(0x10), 0x800), Expect::CleanEnd});
        d.push_back({"chunk_size_doubled", "topics.classic", SetLe32At(itsp(0x10), 0x2000), Expect::CleanEnd});
        // Depth, root index chunk, first and last listing chunk: often wrong in real files.
        d.push_back({"index_fields_wrong", "topics.classic",
                     [](Bytes& b, const Original& o) {
                         PutLe32(b, Itsp(o) + 0x18, 0);
                         PutLe32(b, Itsp(o) + 0x1C, 0xFFFFFFF0u);
                         PutLe32(b, Itsp(o) + 0x20, 0xFFFFFF);
                         PutLe32(b, Itsp(o) + 0x24, 77);
                     },
                     Expect::SameAsOriginal});

        // Listing chunks. topics.classic has three: damage to one must cost only its own entries.
        d.push_back({"chunk1_name_length_overflows", "topics.classic", DamageChunkEntry(1, 0, Repeat(0xFF, 12)),
                     Expect::CompleteReadsRight, OnlyChunkLosesEntries(1, 0)});
        d.push_back({"chunk1_name_length_past_chunk", "topics.classic", DamageChunkEntry(1, 5, {0x83, 0xFF, 0x7F}),
                     Expect::CompleteReadsRight, OnlyChunkLosesEntries(1, 5)});
        d.push_back({"chunk0_zero_name_length", "topics.classic", DamageChunkEntry(0, 10, {0x00, 0x00}),
                     Expect::CompleteReadsRight, OnlyChunkLosesEntries(0, 10)});
        // A valid name, then an offset whose continuation bytes run to the end of the entries.
        Bytes runaway{0x05, '/', 'a', 'b', 'c', 'd', 0x00};
        runaway.resize(4096, 0x80); // cut at the chunk's end
        d.push_back({"chunk1_entry_runs_off_chunk", "topics.classic", DamageChunkEntry(1, 3, runaway),
                     Expect::CompleteReadsRight, OnlyChunkLosesEntries(1, 3)});
        d.push_back({"chunk1_signature", "topics.classic",
                     [](Bytes& b, const Original& o) { b[o.layout.chunksOffset + o.layout.chunkSize + 3] = 'X'; },
                     Expect::CompleteReadsRight, OnlyChunkLosesEntries(1, 0)});
        d.push_back({"chunk1_free_space_max", "topics.classic",
                     [](Bytes& b, const Original& o) { PutLe32(b, o.layout.chunksOffset + o.layout.chunkSize + 4, 0xFFFFFFFFu); },
                     Expect::CompleteReadsRight, OnlyChunkLosesEntries(1, 0)});
        d.push_back({"chunk0_free_space_zero", "topics.classic",
                     [](Bytes& b, const Original& o) { PutLe32(b, o.layout.chunksOffset + 4, 0); }, Expect::CleanEnd});

        // Directory entries that point where they must not.
        d.push_back({"entry_offset_past_section", "example",
                     EditVictim([](RawEntry& e, const Original& o) { e.offset = o.compressedSize + 10; }),
                     Expect::CompleteReadsRight, VictimRefusedOthersIntact});
        d.push_back({"entry_runs_past_section", "example",
                     EditVictim([](RawEntry& e, const Original& o) { e.length = o.compressedSize - e.offset + 1; }),
                     Expect::CompleteReadsRight, VictimRefusedOthersIntact});
        d.push_back({"entry_length_huge", "example", EditVictim([](RawEntry& e, const Original&) { e.length = 1ull << 62; }),
                     Expect::CompleteReadsRight, [](const Outcome& outcome, const Original& o) {
                         VictimRefusedOthersIntact(outcome, o);
                         EXPECT_EQ(outcome.tree.streams.at(*PresentedPath(Victim(o))).statSize, 1ull << 62);
                     }});
        d.push_back({"entry_offset_and_length_wrap", "example",
                     EditVictim([](RawEntry& e, const Original&) { e.offset = UINT64_MAX - 5; e.length = 100; }),
                     Expect::CompleteReadsRight, VictimRefusedOthersIntact});
        d.push_back({"entry_unknown_section", "example", EditVictim([](RawEntry& e, const Original&) { e.section = 7; }),
                     Expect::CompleteReadsRight, VictimRefusedOthersIntact});
        d.push_back({"entry_section_huge", "example",
                     EditVictim([](RawEntry& e, const Original&) { e.section = UINT64_MAX; }), Expect::CompleteReadsRight,
                     VictimRefusedOthersIntact});
        d.push_back({"entry_section0_past_file", "example",
                     EditVictim([](RawEntry& e, const Original& o) { e.section = 0; e.offset = o.bytes.size(); }),
                     Expect::CompleteReadsRight, VictimRefusedOthersIntact});
        d.push_back({"entry_section0_longer_than_file", "example",
                     EditVictim([](RawEntry& e, const Original& o) { e.section = 0; e.offset = 0; e.length = o.bytes.size(); }),
                     Expect::CompleteReadsRight, VictimRefusedOthersIntact});
        // Names the interfaces cannot carry or tell apart must not break the walk: every element
        // enumerated opens by its enumerated name, and no name is listed twice in one storage.
        d.push_back({"name_with_nul", "example",
                     EditVictim([](RawEntry& e, const Original&) { e.name = std::string("/Documents/page\0x.html", 22); }),
                     Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"names_that_convert_alike", "example",
                     [](Bytes& b, const Original& o) {
                         std::vector<RawEntry> entries;
                         for (const RawEntry& e : o.layout.entries)
                             if (e.chunk == 0) entries.push_back(e);
                         int renamed = 0;
                         for (RawEntry& e : entries)
                             if (e.name.rfind("/page ", 0) == 0 && renamed < 2)
                                 e.name = renamed++ == 0 ? "/x\xFF.html" : "/x\xFE.html";
                         RewriteChunk(b, o.layout, 0, entries);
                     },
                     Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"content_stream_past_file", "example",
                     [](Bytes& b, const Original& o) {
                         EditEntry(b, o.layout, kContent, [&](RawEntry& e) { e.length = o.bytes.size(); });
                     },
                     Expect::CompleteReadsRight, CompressedSectionUnusable});
        d.push_back({"control_data_missing", "example",
                     [](Bytes& b, const Original& o) {
                         EditEntry(b, o.layout, kControlData, [&](RawEntry& e) { e.name[3] = 'X'; });
                     },
                     Expect::CompleteReadsRight, CompressedSectionUnusable});
        d.push_back({"control_data_short", "example",
                     [](Bytes& b, const Original& o) { EditEntry(b, o.layout, kControlData, [&](RawEntry& e) { e.length = 8; }); },
                     Expect::CompleteReadsRight, CompressedSectionUnusable});
        d.push_back({"reset_table_short", "example",
                     [](Bytes& b, const Original& o) { EditEntry(b, o.layout, kResetTable, [&](RawEntry& e) { e.length = 12; }); },
                     Expect::CompleteReadsRight, CompressedSectionUnusable});
        d.push_back({"reset_table_length_huge", "example",
                     [](Bytes& b, const Original& o) {
                         EditEntry(b, o.layout, kResetTable, [&](RawEntry& e) { e.length = 1ull << 40; });
                     },
                     Expect::CompleteReadsRight, CompressedSectionUnusable});

        // The compressed section's control data: words 2..5 are version, reset interval, window, cache.
        const auto control = [](std::size_t word) { return [=](const Original& o) { return Control(o) + 4 * word; }; };
        d.push_back({"lzx_signature", "example", SetLe32At(control(1), 0x5858585A), Expect::CompleteReadsRight,
                     CompressedSectionUnusable});
        for (std::uint32_t version : {0u, 3u, 0xFFFFFFFFu})
            d.push_back({"lzx_version_" + std::to_string(version), "example", SetLe32At(control(2), version),
                         Expect::CompleteReadsRight, SectionZeroIntact});
        d.push_back({"lzx_version_1_units", "topics.classic", SetLe32At(control(2), 1), Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"lzx_reset_interval_0", "example", SetLe32At(control(3), 0), Expect::CompleteReadsRight,
                     CompressedSectionUnusable});
        for (std::uint32_t interval : {1u, 3u, 0x10000u, 0xFFFFFFFFu})
            d.push_back({"lzx_reset_interval_" + std::to_string(interval), "topics.classic", SetLe32At(control(3), interval),
                         Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"lzx_window_3", "example", SetLe32At(control(4), 3), Expect::CompleteReadsRight, SectionZeroIntact});
        for (std::uint32_t window : {0u, 0x1000u, 0xFFFFFFFFu})
            d.push_back({"lzx_window_" + std::to_string(window), "example", SetLe32At(control(4), window),
                         Expect::CompleteReadsRight, CompressedSectionUnusable});
        d.push_back({"lzx_window_smaller_than_used", "topics.classic", SetLe32At(control(4), 1), Expect::CleanEnd,
                     SectionZeroIntact});
        d.push_back({"lzx_window_largest", "topics.classic", SetLe32At(control(4), 64), Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"lzx_reset_interval_not_window_multiple", "topics.classic",
                     [](Bytes& b, const Original& o) { PutLe32(b, Control(o) + 12, 3); PutLe32(b, Control(o) + 16, 2); },
                     Expect::CleanEnd, SectionZeroIntact});

        // The reset table: version, entry count, entry size, header size, uncompressed length,
        // compressed length, block size, then the entries.
        const auto table = [](std::size_t field) { return [=](const Original& o) { return Reset(o) + field; }; };
        d.push_back({"reset_count_zero", "topics.classic", SetLe32At(table(4), 0), Expect::CompleteReadsRight, SectionZeroIntact});
        d.push_back({"reset_count_max", "topics.classic", SetLe32At(table(4), 0xFFFFFFFFu), Expect::CompleteReadsRight,
                     SectionZeroIntact});
        for (std::uint32_t size : {0u, 4u, 7u, 0xFFFFFFFFu})
            d.push_back({"reset_entry_size_" + std::to_string(size), "topics.classic", SetLe32At(table(8), size),
                         Expect::CleanEnd, SectionZeroIntact});
        for (std::uint32_t size : {0u, 0x29u, 0xFFFFFFFFu})
            d.push_back({"reset_header_size_" + std::to_string(size), "topics.classic", SetLe32At(table(12), size),
                         Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"reset_uncompressed_length_zero", "topics.classic", SetLe64At(table(0x10), 0), Expect::CompleteReadsRight,
                     CompressedSectionUnusable});
        d.push_back({"reset_uncompressed_length_huge", "topics.classic", SetLe64At(table(0x10), 1ull << 62),
                     Expect::CompleteReadsRight, SectionZeroIntact});
        // A shorter section: streams reaching past its new end are refused, the rest read as before.
        d.push_back({"reset_uncompressed_length_halved", "topics.classic",
                     [](Bytes& b, const Original& o) { PutLe64(b, Reset(o) + 0x10, o.compressedSize / 2); },
                     Expect::CompleteReadsRight, [](const Outcome& outcome, const Original& o) {
                         SectionZeroIntact(outcome, o);
                         std::vector<std::string> inside;
                         for (const RawEntry& e : o.layout.entries) {
                             const auto path = PresentedPath(e);
                             if (!path || path->back() == '/' || e.section != 1) continue;
                             if (e.offset + e.length <= o.compressedSize / 2) {
                                 inside.push_back(*path);
                             } else {
                                 EXPECT_TRUE(FAILED(outcome.tree.streams.at(*path).openResult)) << *path;
                             }
                         }
                         ExpectStreamsIntact(outcome, o, inside, "streams inside the shortened section");
                     }});
        d.push_back({"reset_compressed_length_huge", "topics.classic", SetLe64At(table(0x18), 1ull << 62),
                     Expect::CompleteReadsRight, SectionZeroIntact});
        d.push_back({"reset_compressed_length_zero", "topics.classic", SetLe64At(table(0x18), 0), Expect::CompleteReadsRight,
                     SectionZeroIntact});
        for (std::uint64_t block : {0ull, 1ull, 0x4000ull, 1ull << 40})
            d.push_back({"reset_block_size_" + std::to_string(block), "topics.classic", SetLe64At(table(0x20), block),
                         Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"reset_entry_out_of_range", "topics.classic",
                     [](Bytes& b, const Original& o) { PutLe64(b, Reset(o) + 0x28 + 8 * 40, 1ull << 62); },
                     Expect::CompleteReadsRight, SectionZeroIntact});
        d.push_back({"reset_entry_past_compressed_end", "topics.classic",
                     [](Bytes& b, const Original& o) {
                         PutLe64(b, Reset(o) + 0x28 + 8 * 20, o.layout.Find(kContent).length + 1);
                     },
                     Expect::CompleteReadsRight, SectionZeroIntact});
        d.push_back({"reset_entries_decreasing", "topics.classic",
                     [](Bytes& b, const Original& o) {
                         const std::size_t first = Reset(o) + 0x28;
                         const std::uint32_t count = Le32(b, Reset(o) + 4);
                         for (std::uint32_t k = 1; k < count; ++k) PutLe64(b, first + 8 * k, Le64(o.bytes, first + 8 * (count - k)));
                     },
                     Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"reset_entries_all_zero", "topics.classic",
                     [](Bytes& b, const Original& o) {
                         const std::uint32_t count = Le32(b, Reset(o) + 4);
                         for (std::uint32_t k = 0; k < count; ++k) PutLe64(b, Reset(o) + 0x28 + 8 * k, 0);
                     },
                     Expect::CleanEnd, SectionZeroIntact});

        // The compressed bytes themselves.
        d.push_back({"lzx_stream_zeroed_middle", "topics.classic",
                     [](Bytes& b, const Original& o) {
                         const std::size_t start = o.layout.StreamAt(kContent) + o.layout.Find(kContent).length / 2;
                         std::fill(b.begin() + static_cast<std::ptrdiff_t>(start), b.begin() + static_cast<std::ptrdiff_t>(start + 40000), 0);
                     },
                     Expect::CleanEnd, SectionZeroIntact});
        d.push_back({"lzx_stream_all_ones_start", "example",
                     [](Bytes& b, const Original& o) {
                         const std::size_t start = o.layout.StreamAt(kContent);
                         std::fill(b.begin() + static_cast<std::ptrdiff_t>(start), b.begin() + static_cast<std::ptrdiff_t>(start + 64), 0xFF);
                     },
                     Expect::CleanEnd, SectionZeroIntact});
        return d;
    }();
    return all;
}

INSTANTIATE_TEST_SUITE_P(Damage, Crafted, testing::ValuesIn(Damages()),
                         [](const testing::TestParamInfo<Damage>& info) { return info.param.label; });

} // namespace
} // namespace tarnwick::storage::test
