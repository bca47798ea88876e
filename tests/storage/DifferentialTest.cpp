// Every sample file and every generated fixture, read through the component's COM interfaces, gives
// exactly the tree and the bytes that 7zz extracted from the same file. Look-ups ignore letter
// case, but the exact spelling wins between names that differ only in case.
#include "storage/ITStorage.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace tarnwick::storage::test {
namespace {

ComRef<IStorage> OpenRoot(const fs::path& chm)
{
    ComRef<IITStorage> factory;
    ComRef<IStorage> root;
    if (SUCCEEDED(CreateITStorage(factory.Put())))
        factory->StgOpenStorage(Wide(PathUtf8(chm)).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                                root.Put());
    return root;
}

template <class Map>
std::set<std::string> Keys(const Map& map)
{
    std::set<std::string> keys;
    for (const auto& item : map) keys.insert(item.first);
    return keys;
}

void ExpectTheTreeAndTheBytesThat7zzExtracted(const std::vector<std::pair<fs::path, fs::path>>& files)
{
    for (const auto& [chm, extracted] : files) {
        SCOPED_TRACE(PathUtf8(chm));
        const ComRef<IStorage> root = OpenRoot(chm);
        ASSERT_TRUE(root);
        const TreeSeen seen = WalkTree(root.Get());
        const ExtractedTree oracle = ListExtracted(extracted);
        ASSERT_FALSE(oracle.files.empty());
        EXPECT_EQ(Keys(seen.storages), Keys(oracle.folders));
        EXPECT_EQ(Keys(seen.streams), Keys(oracle.files));
        for (const auto& [path, stream] : seen.streams) {
            const auto expected = oracle.files.find(path);
            if (expected == oracle.files.end()) continue;
            EXPECT_EQ(stream.statSize, expected->second.size()) << path;
            EXPECT_TRUE(stream.complete && stream.onlyLastReadShort) << path;
            EXPECT_TRUE(stream.bytes == expected->second) << path;
        }
    }
}

// Apart, so that a clone without the sample files still runs the fixtures.
TEST(Differential, EverySampleFileGivesTheTreeAndTheBytesThat7zzExtracted)
{
    std::vector<std::pair<fs::path, fs::path>> files;
    for (const char* sample : {"topics.classic", "example", "combined", "combined2"})
        files.emplace_back(CorpusDir() / (std::string(sample) + ".chm"),
                           FixturesDir() / "corpus" / (std::string(sample) + ".extracted"));
    ExpectTheTreeAndTheBytesThat7zzExtracted(files);
}

TEST(Differential, EveryFixtureGivesTheTreeAndTheBytesThat7zzExtracted)
{
    std::vector<std::pair<fs::path, fs::path>> files;
    for (const char* fixture : {"varied", "many", "case"})
        files.emplace_back(FixturesDir() / (std::string(fixture) + ".chm"),
                           FixturesDir() / (std::string(fixture) + ".extracted"));
    ExpectTheTreeAndTheBytesThat7zzExtracted(files);
}

std::string ReadAll(IStorage* storage, const wchar_t* name)
{
    ComRef<IStream> stream;
    if (FAILED(storage->OpenStream(name, nullptr, STGM_READ, 0, stream.Put()))) return "<not found>";
    std::string text;
    char buffer[4096];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0) text.append(buffer, got);
    return text;
}

ComRef<IStorage> Child(IStorage* storage, const wchar_t* name)
{
    ComRef<IStorage> child;
    storage->OpenStorage(name, nullptr, STGM_READ, nullptr, 0, child.Put());
    return child;
}

// case.chm holds the folders "Foo" and "foo", the streams "Readme.htm" and "README.htm", and
// "Mixed/Inner/Page.htm".
TEST(Differential, LookupsPreferTheExactSpellingAndOtherwiseIgnoreCase)
{
    const ComRef<IStorage> root = OpenRoot(FixturesDir() / "case.chm");
    ASSERT_TRUE(root);
    EXPECT_EQ(ReadAll(Child(root.Get(), L"Foo").Get(), L"x.htm"), "<html>upper Foo</html>");
    EXPECT_EQ(ReadAll(Child(root.Get(), L"foo").Get(), L"x.htm"), "<html>lower foo, a longer body</html>");
    EXPECT_EQ(ReadAll(root.Get(), L"Readme.htm"), "mixed");
    EXPECT_EQ(ReadAll(root.Get(), L"README.htm"), "UPPER CASE");

    const ComRef<IStorage> inner = Child(Child(root.Get(), L"MIXED").Get(), L"inner");
    ASSERT_TRUE(inner);
    EXPECT_NE(ReadAll(inner.Get(), L"PAGE.HTM"), "<not found>");
    STATSTG record{};
    ASSERT_EQ(inner->Stat(&record, STATFLAG_DEFAULT), S_OK);
    EXPECT_EQ(Utf8(record.pwcsName), "Inner");
    CoTaskMemFree(record.pwcsName);
    // A storage is not found as a stream, nor a stream as a storage.
    EXPECT_EQ(ReadAll(root.Get(), L"mixed"), "<not found>");
    EXPECT_FALSE(Child(root.Get(), L"INDEX.HTM"));
}

} // namespace
} // namespace tarnwick::storage::test
