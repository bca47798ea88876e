// Copying one stream to a file: every byte, flat or under its folders, long paths, and the failures
// that must not leave a file behind. (That hostile names stay inside the target is the engine fuzz
// target's to check, with every name rule's own in SafeNameTest.)
#include "engine/ChmEngine.h"
#include "engine/IntegrityCheck.h"
#include "engine/MemoryList.h"
#include "engine/platform/GenericFileTypes.h"
#include "support/ChmBuilder.h"
#include "support/TempFolder.h"
#include "support/TestData.h"

#include <gtest/gtest.h>


namespace {

std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

class ExtractTest : public ::testing::Test {
protected:
    void Load(const std::vector<BuiltEntry>& entries)
    {
        WriteFileBytes(m_folder / "in.chm", BuildChm(entries));
        ASSERT_GE(m_engine.OpenFile((m_folder / "in.chm").wstring()), 0);
        m_engine.ReleaseWalk();
        m_list.Clear();
        m_engine.WalkStorage(m_list, m_types, m_engine.GetRoot(), L"");
    }

    BOOL Extract(const std::wstring& name, const fs::path& target, bool usePaths)
    {
        for (const CMemoryRow& row : m_list.Rows())
            if (row.cells[0] == name)
                return m_engine.ExtractStream(m_engine.GetParentStorage(row.itemData), row.cells[3], row.cells[0],
                                              target.wstring(), usePaths ? TRUE : FALSE);
        throw std::runtime_error("no such row");
    }

    void ExtractAll(const fs::path& target, bool usePaths)
    {
        for (const CMemoryRow& row : m_list.Rows())
            EXPECT_TRUE(m_engine.ExtractStream(m_engine.GetParentStorage(row.itemData), row.cells[3], row.cells[0],
                                               target.wstring(), usePaths ? TRUE : FALSE));
    }

    TempFolder m_folder;
    TempFolder m_out;
    CChmEngine m_engine;
    CGenericFileTypes m_types;
    CMemoryList m_list;
};

TEST_F(ExtractTest, WritesEveryByteFlatOrUnderTheInternalFolders)
{
    Load({
        {"/root.htm", Pattern(5000)},
        {"/empty.txt", ""},
        {"/a/page.htm", Pattern(4096)},
        {"/a/b/page.htm", Pattern(8192 * 3 + 1)},
        {"/\xC3\xA9/page.htm", Pattern(1)}, // "é": Latin-1, but not ASCII
        {"/한국어/😀 ü.htm", "k"},
        // A NUL would cut the name short for every caller, and an overlong "/" is not UTF-8: both
        // reach the file as U+FFFD.
        {std::string("/nul\0.htm", 9), "n"},
        {"/\xC0\xAF.htm", "o"},
    });
    const fs::path withPaths = m_out / "paths";
    const fs::path flat = m_out / "flat";
    fs::create_directories(withPaths);
    fs::create_directories(flat);
    ExtractAll(withPaths, true);
    ExtractAll(flat, false);

    EXPECT_EQ(FileCount(withPaths), 8);
    EXPECT_EQ(ReadFileText(withPaths / fs::path(u8"nul\uFFFD.htm")), "n");
    EXPECT_EQ(ReadFileText(withPaths / fs::path(u8"\uFFFD\uFFFD.htm")), "o");
    EXPECT_EQ(ReadFileText(withPaths / "root.htm"), Pattern(5000));
    EXPECT_EQ(ReadFileText(withPaths / "empty.txt"), "");
    EXPECT_EQ(ReadFileText(withPaths / "a" / "page.htm"), Pattern(4096));
    EXPECT_EQ(ReadFileText(withPaths / "a" / "b" / "page.htm"), Pattern(8192 * 3 + 1));
    EXPECT_EQ(ReadFileText(withPaths / fs::path(u8"한국어") / fs::path(u8"😀 ü.htm")), "k");
    EXPECT_EQ(ReadFileText(withPaths / fs::path(u8"é") / "page.htm"), Pattern(1));
    // Flat: same-named streams from different folders land on one file, the later one winning.
    EXPECT_EQ(FileCount(flat), 6);
    EXPECT_EQ(ReadFileText(flat / "page.htm"), Pattern(1));

    // An existing file is replaced by exactly the stream.
    WriteFileBytes(flat / "root.htm", std::vector<std::uint8_t>(100000, 'z'));
    EXPECT_TRUE(Extract(L"root.htm", flat, false));
    EXPECT_EQ(ReadFileText(flat / "root.htm"), Pattern(5000));

    // The engine remembers the folders it made, and the file system the folder it last wrote into;
    // a new run must not trust that they still exist.
    EXPECT_TRUE(Extract(L"page.htm", withPaths, true));
    fs::remove_all(withPaths / "a");
    m_engine.ForgetMadeFolders();
    EXPECT_TRUE(Extract(L"page.htm", withPaths, true));
}

// A file that stood there before the run is replaced only when the question allows it; one the
// run wrote itself (entries of one name, flat) without asking again.
TEST_F(ExtractTest, AsksBeforeReplacingOnlyWhatWasThereBeforeTheRun)
{
    struct Answer final : IReplaceQuestion {
        bool replace = false;
        std::vector<fs::path> asked;
        bool MayReplace(const std::wstring& path) override
        {
            asked.push_back(path);
            return replace;
        }
    } answer;
    Load({{"/a/x.htm", "1"}, {"/b/x.htm", "2"}, {"/y.htm", "3"}});
    for (const char* name : {"x.htm", "y.htm"}) WriteFileBytes(m_out / name, {'m'});
    m_engine.AskBeforeReplacing(&answer);
    ExtractAll(m_out.Path(), false);
    EXPECT_EQ(answer.asked, (std::vector<fs::path>{m_out / "x.htm", m_out / "x.htm", m_out / "y.htm"}));
    EXPECT_EQ(ReadFileText(m_out / "x.htm") + ReadFileText(m_out / "y.htm"), "mm");

    answer.replace = true;
    answer.asked.clear();
    m_engine.AskBeforeReplacing(&answer);
    ExtractAll(m_out.Path(), false);
    EXPECT_EQ(answer.asked, (std::vector<fs::path>{m_out / "x.htm", m_out / "y.htm"}));
    EXPECT_EQ(ReadFileText(m_out / "x.htm") + ReadFileText(m_out / "y.htm"), "23");
}

TEST_F(ExtractTest, ReachesPathsLongerThanTheClassicLimit)
{
    std::string folders;
    fs::path expected = m_out.Path();
    for (int i = 0; i < 12; ++i) {
        folders += "/" + std::string(30, static_cast<char>('a' + i));
        expected /= std::string(30, static_cast<char>('a' + i));
    }
    Load({{folders + "/deep.htm", "deep"}});
    ExtractAll(m_out.Path(), true);
    ASSERT_GT((expected / "deep.htm").wstring().size(), 300u);
    EXPECT_EQ(ReadFileText(expected / "deep.htm"), "deep");
}

TEST_F(ExtractTest, FailuresLeaveNoFileAndSayWhyWhenTheTargetIsAtFault)
{
    Load({{"/good.htm", "good"}, {"/past-end.htm", "x", 1000000}, {"/far.htm", "x", 10, 1ull << 40}});
    // The help file's fault, told as the integrity test tells it.
    EXPECT_FALSE(Extract(L"past-end.htm", m_out.Path(), false));
    EXPECT_EQ(m_engine.GetLastFileError().cause, FileErrorCause::None);
    EXPECT_EQ(m_engine.GetLastDamage().damage, StreamDamage::OutsideSection);
    EXPECT_FALSE(Extract(L"far.htm", m_out.Path(), false));
    EXPECT_EQ(m_engine.GetLastDamage().damage, StreamDamage::OutsideSection);
    EXPECT_FALSE(m_engine.ExtractStream(m_engine.GetRoot(), L"", L"missing.htm", m_out.Path().wstring(), FALSE));
    EXPECT_FALSE(m_engine.ExtractStream(nullptr, L"", L"good.htm", m_out.Path().wstring(), FALSE));
    EXPECT_EQ(FileCount(m_out.Path()), 0);

    const fs::path missing = m_out / "no" / "such" / "folder";
    EXPECT_FALSE(Extract(L"good.htm", missing, false));
    EXPECT_EQ(m_engine.GetLastFileError().cause, FileErrorCause::BadPath);
    EXPECT_EQ(fs::path(m_engine.GetLastFileError().path), missing / "good.htm");
}

// A disk that takes the first write of every file, then is full.
class FullDisk final : public IFileSystem {
public:
    bool DirectoryExists(const std::wstring& path) override { return PlatformFileSystem().DirectoryExists(path); }
    bool FileExists(const std::wstring& path) override { return PlatformFileSystem().FileExists(path); }
    void MakeDirectory(const std::wstring& path) override { PlatformFileSystem().MakeDirectory(path); }
    void RemoveFile(const std::wstring& path) override { PlatformFileSystem().RemoveFile(path); }
    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override
    {
        struct File final : IOutputFile {
            std::unique_ptr<IOutputFile> file;
            bool written = false;
            bool Write(std::span<const std::uint8_t> bytes, FileError& error) override
            {
                error.cause = FileErrorCause::DiskFull;
                return !std::exchange(written, true) && file->Write(bytes, error);
            }
            bool Close(FileError& error) override { return file->Close(error); }
        };
        auto file = std::make_unique<File>();
        file->file = PlatformFileSystem().CreateAlways(path, error);
        return file->file ? std::move(file) : nullptr;
    }
};

TEST(ExtractToFullDisk, RemovesThePartialFileAndSaysTheDiskIsFull)
{
    TempFolder folder;
    WriteFileBytes(folder / "in.chm", BuildChm({{"/big.htm", Pattern(300000)}}));
    FullDisk disk;
    CChmEngine engine({}, disk);
    ASSERT_GE(engine.OpenFile((folder / "in.chm").wstring()), 0);
    EXPECT_FALSE(engine.ExtractStream(engine.GetRoot(), L"", L"big.htm", folder.Path().wstring(), FALSE));
    EXPECT_EQ(engine.GetLastFileError().cause, FileErrorCause::DiskFull);
    EXPECT_EQ(fs::path(engine.GetLastFileError().path), folder / "big.htm");
    EXPECT_FALSE(fs::exists(folder / "big.htm"));
}

} // namespace

// A copy cut short: each entry the integrity test finds damaged fails to unpack for the same reason.
TEST(ExtractFromACutFile, TellsTheDamageTheIntegrityTestFinds)
{
    TempFolder folder;
    std::vector<std::uint8_t> bytes = ReadFileBytes(CorpusDir() / "topics.classic.chm");
    bytes.resize(bytes.size() * 7 / 10);
    WriteFileBytes(folder / "cut.chm", bytes);
    // Apart: the test leaves its reads announced to the file it checked, and the window announces none.
    CChmEngine tested, engine;
    ASSERT_GE(tested.OpenFile((folder / "cut.chm").wstring()), 0);
    ASSERT_GE(engine.OpenFile((folder / "cut.chm").wstring()), 0);
    const IntegrityReport report = CheckIntegrity(
        tarnwick::helpfile::ReadEntryTable(tested.GetRoot(), tarnwick::helpfile::WalkScope::All), 1, [](std::size_t, std::size_t) { return true; });
    const auto entries = tarnwick::helpfile::ReadEntryTable(engine.GetRoot(), tarnwick::helpfile::WalkScope::All);
    ASSERT_GT(report.damaged.size(), 10u);
    for (const DamagedStream& damaged : report.damaged) {
        const std::size_t index = damaged.index;
        EXPECT_FALSE(engine.ExtractStream(entries.Storage(index), entries.Folder(index), entries.Name(index),
                                          folder.Path().wstring(), TRUE));
        EXPECT_EQ(engine.GetLastDamage().damage, damaged.damage.damage) << entries.Path(index);
        EXPECT_EQ(engine.GetLastDamage().frame, damaged.damage.frame) << entries.Path(index);
    }
}
