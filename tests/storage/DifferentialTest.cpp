// Every sample file and every generated fixture, read through the component's COM interfaces,
// must give exactly the tree and the bytes that 7zz extracted from the same file.
#include "ITStorage.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace tarnwick::storage::test {
namespace {

struct HelpFile {
    std::string label;
    fs::path chm;
    fs::path oracle; // what 7zz extracted
};

void PrintTo(const HelpFile& file, std::ostream* out) { *out << file.label; }

std::vector<HelpFile> DiscoverHelpFiles()
{
    std::vector<HelpFile> found;
    const auto add = [&](const std::string& prefix, const fs::path& folder, const fs::path& oracles) {
        std::error_code error;
        if (!fs::is_directory(folder, error)) return;
        for (const auto& item : fs::directory_iterator(folder)) {
            if (item.path().extension() != ".chm") continue;
            const std::string stem = PathUtf8(item.path().stem());
            found.push_back({prefix + stem, item.path(), oracles / (stem + ".extracted")});
        }
    };
    add("corpus_", CorpusDir(), FixturesDir() / "corpus");
    add("fixture_", FixturesDir(), FixturesDir());
    std::sort(found.begin(), found.end(), [](const HelpFile& a, const HelpFile& b) { return a.label < b.label; });
    return found;
}

ComRef<IStorage> OpenRoot(const fs::path& chm, HRESULT* result = nullptr)
{
    ComRef<IITStorage> factory;
    if (FAILED(CreateITStorage(factory.Put()))) return {};
    ComRef<IStorage> root;
    const HRESULT hr = factory->StgOpenStorage(WidePath(chm).c_str(), nullptr, 0x20, nullptr, 0, root.Put());
    if (result) *result = hr;
    return root;
}

template <class Map>
std::set<std::string> Keys(const Map& map)
{
    std::set<std::string> keys;
    for (const auto& item : map) keys.insert(item.first);
    return keys;
}

std::string Listing(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < 20; ++i) text += "\n  " + names[i];
    if (names.size() > 20) text += "\n  ... " + std::to_string(names.size() - 20) + " more";
    return text;
}

std::vector<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b)
{
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

void ExpectSameTree(const TreeSeen& seen, const ExtractedTree& oracle)
{
    const auto missingFolders = Minus(Keys(oracle.folders), Keys(seen.storages));
    const auto extraFolders = Minus(Keys(seen.storages), Keys(oracle.folders));
    const auto missingStreams = Minus(Keys(oracle.files), Keys(seen.streams));
    const auto extraStreams = Minus(Keys(seen.streams), Keys(oracle.files));
    EXPECT_TRUE(missingFolders.empty()) << "storages 7zz has but the component does not:" << Listing(missingFolders);
    EXPECT_TRUE(extraFolders.empty()) << "storages only the component has:" << Listing(extraFolders);
    EXPECT_TRUE(missingStreams.empty()) << "streams 7zz has but the component does not:" << Listing(missingStreams);
    EXPECT_TRUE(extraStreams.empty()) << "streams only the component has:" << Listing(extraStreams);
}

void ExpectSameBytes(const TreeSeen& seen, const fs::path& oracleRoot)
{
    for (const auto& [path, stream] : seen.streams) {
        const fs::path file = oracleRoot / fs::path(std::u8string(path.begin(), path.end()));
        std::error_code error;
        if (!fs::is_regular_file(file, error)) continue; // reported as a tree difference
        const std::vector<std::uint8_t> expected = ReadFileBytes(file);
        SCOPED_TRACE(path);
        EXPECT_EQ(stream.statSize, expected.size());
        EXPECT_EQ(stream.openResult, S_OK);
        if (FAILED(stream.openResult)) continue;
        EXPECT_EQ(stream.readResult, S_OK);
        EXPECT_TRUE(stream.complete) << "the stream did not end with a zero-byte read";
        EXPECT_TRUE(stream.onlyLastReadShort) << "a 4096-byte read came back short before the end";
        EXPECT_FALSE(stream.overran);
        if (stream.bytes != expected) {
            const auto mismatch = std::mismatch(stream.bytes.begin(), stream.bytes.end(), expected.begin(), expected.end());
            ADD_FAILURE() << "content differs from byte " << (mismatch.first - stream.bytes.begin()) << " (read "
                          << stream.bytes.size() << " bytes, expected " << expected.size() << ")";
        }
    }
}

std::wstring SwapCase(std::wstring name)
{
    for (wchar_t& c : name) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        else if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return name;
}

std::wstring FoldAscii(std::wstring name)
{
    for (wchar_t& c : name)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return name;
}

std::wstring StatName(IUnknown* object, bool isStorage)
{
    STATSTG record{};
    const HRESULT hr = isStorage ? static_cast<IStorage*>(object)->Stat(&record, 0)
                                 : static_cast<IStream*>(object)->Stat(&record, 0);
    if (FAILED(hr) || !record.pwcsName) return L"<Stat failed>";
    std::wstring name = record.pwcsName;
    CoTaskMemFree(record.pwcsName);
    return name;
}

// Every element whose name has letters, asked for with every letter's case swapped, is found and
// is the same element, unless a sibling's name differs from it only in case.
void ExpectCaseInsensitiveLookups(IStorage* storage, const std::string& prefix, int& checked)
{
    std::vector<std::pair<std::wstring, DWORD>> children;
    ComRef<IEnumSTATSTG> enumerator;
    ASSERT_EQ(storage->EnumElements(0, nullptr, 0, enumerator.Put()), S_OK);
    STATSTG record{};
    while (enumerator->Next(1, &record, nullptr) == S_OK) {
        children.emplace_back(record.pwcsName, record.type);
        CoTaskMemFree(record.pwcsName);
    }
    for (const auto& [name, type] : children) {
        const std::wstring swapped = SwapCase(name);
        const bool ambiguous = std::count_if(children.begin(), children.end(), [&](const auto& other) {
            return other.second == type && FoldAscii(other.first) == FoldAscii(name);
        }) > 1;
        const std::string path = prefix + Utf8(name);
        if (type == STGTY_STORAGE) {
            ComRef<IStorage> child;
            ASSERT_EQ(storage->OpenStorage(name.c_str(), nullptr, 0, nullptr, 0, child.Put()), S_OK) << path;
            ExpectCaseInsensitiveLookups(child.Get(), path + "/", checked);
            if (swapped == name || ambiguous) continue;
            ComRef<IStorage> other;
            EXPECT_EQ(storage->OpenStorage(swapped.c_str(), nullptr, 0, nullptr, 0, other.Put()), S_OK) << path;
            if (other) {
                EXPECT_EQ(Utf8(StatName(other.Get(), true)), Utf8(name)) << path;
            }
        } else {
            if (swapped == name || ambiguous) continue;
            ComRef<IStream> other;
            EXPECT_EQ(storage->OpenStream(swapped.c_str(), nullptr, 0, 0, other.Put()), S_OK) << path;
            if (other) {
                EXPECT_EQ(Utf8(StatName(other.Get(), false)), Utf8(name)) << path;
            }
        }
        ++checked;
    }
}

class Differential : public testing::TestWithParam<HelpFile> {};

TEST_P(Differential, TreeSizesAndBytesMatchTheExtraction)
{
    const HelpFile& file = GetParam();
    ASSERT_TRUE(fs::is_directory(file.oracle)) << "no 7zz extraction at " << PathUtf8(file.oracle)
                                               << " (tests/fixtures/make-fixtures.sh makes it)";
    HRESULT opened = E_FAIL;
    ComRef<IStorage> root = OpenRoot(file.chm, &opened);
    ASSERT_EQ(opened, S_OK);
    ASSERT_TRUE(root);

    const TreeSeen seen = WalkTree(root.Get());
    EXPECT_TRUE(seen.problems.empty()) << Listing(seen.problems);
    const ExtractedTree oracle = ListExtracted(file.oracle);
    ASSERT_FALSE(oracle.files.empty());
    ExpectSameTree(seen, oracle);
    ExpectSameBytes(seen, file.oracle);
}

TEST_P(Differential, LookupsIgnoreLetterCase)
{
    ComRef<IStorage> root = OpenRoot(GetParam().chm);
    ASSERT_TRUE(root);
    int checked = 0;
    ExpectCaseInsensitiveLookups(root.Get(), "", checked);
    EXPECT_GT(checked, 0);
}

INSTANTIATE_TEST_SUITE_P(HelpFiles, Differential, testing::ValuesIn(DiscoverHelpFiles()),
                         [](const testing::TestParamInfo<HelpFile>& info) {
                             std::string name = info.param.label;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// The parameterised tests run nothing when the data is missing; this makes that a failure.
TEST(DifferentialData, SamplesAndGeneratedFixturesArePresent)
{
    std::set<std::string> labels;
    for (const HelpFile& file : DiscoverHelpFiles()) labels.insert(file.label);
    for (const char* wanted : {"corpus_topics.classic", "corpus_example", "corpus_combined", "corpus_combined2",
                               "fixture_varied", "fixture_many", "fixture_case"})
        EXPECT_TRUE(labels.count(wanted)) << wanted << " not found (corpus " << PathUtf8(CorpusDir()) << ", fixtures "
                                          << PathUtf8(FixturesDir()) << ")";
}

// The generated fixtures were made to contain these edges; if generation stopped producing them,
// the differential test above would pass without testing them.
TEST(DifferentialData, VariedFixtureHasTheIntendedEdges)
{
    ComRef<IStorage> root = OpenRoot(FixturesDir() / "varied.chm");
    ASSERT_TRUE(root);
    const TreeSeen seen = WalkTree(root.Get(), {.keepBytes = false});
    int multiplesOf4096 = 0, empty = 0, chinese = 0, spaced = 0, deep = 0;
    std::uint64_t largest = 0;
    for (const auto& [path, stream] : seen.streams) {
        if (stream.statSize == 0) ++empty;
        else if (stream.statSize % 4096 == 0) ++multiplesOf4096;
        if (path.find("说明/") != std::string::npos) ++chinese;
        if (path.find(' ') != std::string::npos) ++spaced;
        if (std::count(path.begin(), path.end(), '/') >= 3) ++deep;
        largest = std::max(largest, stream.statSize);
    }
    EXPECT_GE(multiplesOf4096, 4);
    EXPECT_GE(empty, 3);
    EXPECT_GE(chinese, 3);
    EXPECT_GE(spaced, 2);
    EXPECT_GE(deep, 2);
    EXPECT_GT(largest, 4u << 20);
}

// The compiler used for the fixtures never writes LZX's stored (uncompressed) blocks. This rebuilds
// varied.chm so that every other reset interval holds stored blocks instead: odd lengths with their
// padding byte, a block that crosses a frame boundary, and a one-byte block. 7zz extracts the result
// to the same tree, so the component must read it to the same bytes.
std::vector<std::uint8_t> StoredBlocksHeader(bool first, std::uint32_t size)
{
    // Bits go most significant first into 16-bit little-endian words: the translation flag (only
    // after a reset), block type 3, the 24-bit size, then padding to the next word.
    std::uint32_t bits = 0;
    int count = 0;
    const auto put = [&](std::uint32_t value, int width) {
        bits = (bits << width) | value;
        count += width;
    };
    if (first) put(0, 1);
    put(3, 3);
    put(size, 24);
    bits <<= 32 - count;
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24),
                                  static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8)};
    for (int r = 0; r < 3; ++r) out.insert(out.end(), {1, 0, 0, 0}); // the three repeated offsets
    return out;
}

std::vector<std::uint8_t> WithStoredBlocks(const fs::path& chm, const fs::path& oracle)
{
    std::vector<std::uint8_t> file = ReadFileBytes(chm);
    const RawLayout layout = ParseLayout(file);
    const std::size_t tableAt = layout.StreamAt(kResetTable);
    const std::uint32_t entries = Le32(file, tableAt + 4);
    const std::size_t firstEntry = tableAt + Le32(file, tableAt + 12);
    const std::uint64_t plainSize = Le64(file, tableAt + 0x10);
    const std::size_t contentAt = layout.StreamAt(kContent);
    const std::uint64_t contentLength = layout.Find(kContent).length;
    if (contentAt + contentLength != file.size()) throw std::runtime_error("the compressed data is not last");
    if (Le32(layout.Stream(file, kControlData), 12) != 2) throw std::runtime_error("expected two frames a reset");

    std::vector<std::uint8_t> plain(static_cast<std::size_t>(plainSize));
    for (const RawEntry& e : layout.entries) {
        const auto path = PresentedPath(e);
        if (!path || e.section != 1 || e.length == 0 || path->back() == '/') continue;
        const auto bytes = ReadFileBytes(oracle / fs::path(std::u8string(path->begin(), path->end())));
        std::copy(bytes.begin(), bytes.end(), plain.begin() + static_cast<std::ptrdiff_t>(e.offset));
    }

    constexpr std::size_t kFrame = 0x8000;
    const std::size_t frames = (plain.size() + kFrame - 1) / kFrame;
    const std::size_t intervals = (frames + 1) / 2;
    std::vector<std::uint64_t> offsets(entries);
    std::vector<std::uint8_t> content;
    const auto original = [&](std::size_t frame) { return frame < entries ? Le64(file, firstEntry + 8 * frame) : contentLength; };
    for (std::size_t interval = 0; interval < intervals; ++interval) {
        const std::size_t f0 = interval * 2, f1 = std::min(f0 + 2, frames);
        const std::size_t start = content.size();
        if (interval % 2 == 0 || interval + 1 == intervals) {
            for (std::size_t f = f0; f < f1; ++f) offsets[f] = start + original(f) - original(f0);
            content.insert(content.end(), file.begin() + static_cast<std::ptrdiff_t>(contentAt + original(f0)),
                           file.begin() + static_cast<std::ptrdiff_t>(contentAt + original(f1)));
            continue;
        }
        // Every frame must start on a 16-bit boundary, so the block that crosses it starts even.
        std::size_t at = f0 * kFrame;
        bool first = true;
        offsets[f0] = start;
        for (std::uint32_t size : {1000u, 32768u, 31767u, 1u}) {
            const auto head = StoredBlocksHeader(first, size);
            first = false;
            content.insert(content.end(), head.begin(), head.end());
            if (at < f0 * kFrame + kFrame && at + size > f0 * kFrame + kFrame)
                offsets[f0 + 1] = content.size() + (f0 * kFrame + kFrame - at);
            content.insert(content.end(), plain.begin() + static_cast<std::ptrdiff_t>(at),
                           plain.begin() + static_cast<std::ptrdiff_t>(at + size));
            if (size % 2) content.push_back(0);
            at += size;
        }
    }
    for (std::size_t f = frames; f < entries; ++f) offsets[f] = content.size();

    file.resize(contentAt);
    file.insert(file.end(), content.begin(), content.end());
    for (std::size_t f = 0; f < entries; ++f) PutLe64(file, firstEntry + 8 * f, offsets[f]);
    PutLe64(file, tableAt + 0x18, content.size());
    EditEntry(file, layout, kContent, [&](RawEntry& e) { e.length = content.size(); });
    return file;
}

TEST(StoredBlocks, ReadToTheSameBytesAsCompressedOnes)
{
    const fs::path oracle = FixturesDir() / "varied.extracted";
    TempDir dir;
    const fs::path crafted = dir.Path() / "stored-blocks.chm";
    WriteFileBytes(crafted, WithStoredBlocks(FixturesDir() / "varied.chm", oracle));
    HRESULT opened = E_FAIL;
    ComRef<IStorage> root = OpenRoot(crafted, &opened);
    ASSERT_EQ(opened, S_OK);
    const TreeSeen seen = WalkTree(root.Get());
    EXPECT_TRUE(seen.problems.empty()) << Listing(seen.problems);
    ExpectSameTree(seen, ListExtracted(oracle));
    ExpectSameBytes(seen, oracle);
}

class LetterCase : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = OpenRoot(FixturesDir() / "case.chm");
        ASSERT_TRUE(m_root) << "case.chm missing";
    }

    std::string ReadAll(IStorage* storage, const wchar_t* name)
    {
        ComRef<IStream> stream;
        if (FAILED(storage->OpenStream(name, nullptr, 0, 0, stream.Put()))) return "<not found>";
        std::string text;
        char buffer[4096];
        ULONG got = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0) text.append(buffer, got);
        return text;
    }

    std::set<std::string> Names(IStorage* storage)
    {
        std::set<std::string> names;
        ComRef<IEnumSTATSTG> enumerator;
        if (FAILED(storage->EnumElements(0, nullptr, 0, enumerator.Put()))) return names;
        STATSTG record{};
        while (enumerator->Next(1, &record, nullptr) == S_OK) {
            names.insert(Utf8(record.pwcsName));
            CoTaskMemFree(record.pwcsName);
        }
        return names;
    }

    ComRef<IStorage> m_root;
};

TEST_F(LetterCase, ExactSpellingWinsBetweenFoldersThatDifferOnlyInCase)
{
    const std::set<std::string> top = Names(m_root.Get());
    ASSERT_TRUE(top.count("Foo") && top.count("foo")) << "both folders must be presented";

    ComRef<IStorage> upper, lower, shouting;
    ASSERT_EQ(m_root->OpenStorage(L"Foo", nullptr, 0, nullptr, 0, upper.Put()), S_OK);
    ASSERT_EQ(m_root->OpenStorage(L"foo", nullptr, 0, nullptr, 0, lower.Put()), S_OK);
    EXPECT_EQ(Names(upper.Get()), (std::set<std::string>{"x.htm", "only-upper.htm"}));
    EXPECT_EQ(Names(lower.Get()), (std::set<std::string>{"x.htm", "only-lower.htm"}));
    EXPECT_EQ(ReadAll(upper.Get(), L"x.htm"), "<html>upper Foo</html>");
    EXPECT_EQ(ReadAll(lower.Get(), L"x.htm"), "<html>lower foo, a longer body</html>");

    // No exact match: either folder is an acceptable answer, but one must be found.
    ASSERT_EQ(m_root->OpenStorage(L"FOO", nullptr, 0, nullptr, 0, shouting.Put()), S_OK);
    const std::string inside = ReadAll(shouting.Get(), L"X.HTM");
    EXPECT_TRUE(inside == "<html>upper Foo</html>" || inside == "<html>lower foo, a longer body</html>") << inside;
}

TEST_F(LetterCase, ExactSpellingWinsBetweenStreamsThatDifferOnlyInCase)
{
    EXPECT_EQ(ReadAll(m_root.Get(), L"Readme.htm"), "mixed");
    EXPECT_EQ(ReadAll(m_root.Get(), L"README.htm"), "UPPER CASE");
    const std::string either = ReadAll(m_root.Get(), L"readme.HTM");
    EXPECT_TRUE(either == "mixed" || either == "UPPER CASE") << either;
}

TEST_F(LetterCase, OtherCasingsFindTheOnlyCandidate)
{
    ComRef<IStorage> mixed, inner;
    ASSERT_EQ(m_root->OpenStorage(L"MIXED", nullptr, 0, nullptr, 0, mixed.Put()), S_OK);
    ASSERT_EQ(mixed->OpenStorage(L"inner", nullptr, 0, nullptr, 0, inner.Put()), S_OK);
    EXPECT_NE(ReadAll(inner.Get(), L"PAGE.HTM"), "<not found>");
    EXPECT_EQ(Utf8(StatName(inner.Get(), true)), "Inner");

    // A storage is not found as a stream, nor a stream as a storage, whatever the case.
    ComRef<IStream> notAStream;
    EXPECT_EQ(m_root->OpenStream(L"mixed", nullptr, 0, 0, notAStream.Put()), STG_E_FILENOTFOUND);
    EXPECT_FALSE(notAStream);
    ComRef<IStorage> notAStorage;
    EXPECT_EQ(m_root->OpenStorage(L"INDEX.HTM", nullptr, 0, nullptr, 0, notAStorage.Put()), STG_E_FILENOTFOUND);
    EXPECT_FALSE(notAStorage);
}

} // namespace
} // namespace tarnwick::storage::test
