#include "ChmBuilder.h"
#include "ChmEngine.h"
#include "GenericFileTypes.h"
#include "MemoryList.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

std::set<fs::path> FilesUnder(const fs::path& root)
{
    std::set<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), root));
    return files;
}

class ExtractTest : public ::testing::Test {
protected:
    void Load(const std::vector<BuiltEntry>& entries)
    {
        const auto path = m_folder / "in.chm";
        WriteFileBytes(path.string(), BuildChm(entries));
        ASSERT_GE(m_engine.OpenFile(path.wstring()), 0);
        m_engine.ReleaseWalk();
        m_list.Clear();
        m_engine.WalkStorage(m_list, m_types, m_engine.GetRoot(), L"");
    }

    const CMemoryRow& Row(const std::wstring& name)
    {
        for (const CMemoryRow& row : m_list.Rows())
            if (row.cells[0] == name) return row;
        throw std::runtime_error("no such row");
    }

    BOOL Extract(const CMemoryRow& row, const fs::path& target, bool usePaths)
    {
        return m_engine.ExtractStream(m_engine.GetParentStorage(row.itemData), row.cells[3], row.cells[0],
                                      target.wstring(), usePaths ? TRUE : FALSE);
    }

    void ExtractAll(const fs::path& target, bool usePaths)
    {
        for (const CMemoryRow& row : m_list.Rows()) EXPECT_TRUE(Extract(row, target, usePaths)) << row.cells[0].size();
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
        {"/x/page.htm", Pattern(1)},
    });
    const fs::path withPaths = m_out / "paths";
    const fs::path flat = m_out / "flat";
    fs::create_directories(withPaths);
    fs::create_directories(flat);
    ExtractAll(withPaths, true);
    ExtractAll(flat, false);

    EXPECT_EQ(FilesUnder(withPaths), (std::set<fs::path>{"root.htm", "empty.txt", fs::path("a") / "page.htm",
                                                         fs::path("a") / "b" / "page.htm", fs::path("x") / "page.htm"}));
    EXPECT_EQ(ReadAll(withPaths / "root.htm"), Pattern(5000));
    EXPECT_EQ(ReadAll(withPaths / "empty.txt"), "");
    EXPECT_EQ(ReadAll(withPaths / "a" / "page.htm"), Pattern(4096));
    EXPECT_EQ(ReadAll(withPaths / "a" / "b" / "page.htm"), Pattern(8192 * 3 + 1));

    // Flat: same-named streams from different folders land on one file, the later one winning.
    EXPECT_EQ(FilesUnder(flat), (std::set<fs::path>{"root.htm", "empty.txt", "page.htm"}));
    EXPECT_EQ(ReadAll(flat / "page.htm"), Pattern(1));
}

TEST_F(ExtractTest, ReplacesAnExistingFileWithExactlyTheStream)
{
    Load({{"/a/page.htm", "short"}});
    fs::create_directories(m_out / "a");
    std::ofstream(m_out / "a" / "page.htm") << std::string(100000, 'z');
    EXPECT_TRUE(Extract(Row(L"page.htm"), m_out.Path(), true));
    EXPECT_EQ(ReadAll(m_out / "a" / "page.htm"), "short");
}

TEST_F(ExtractTest, KeepsHostileNamesInsideTheTargetFolder)
{
    Load({
        {"/../escape.htm", "1"},
        {"/../../twice.htm", "2"},
        {"/./dot.htm", "3"},
        {"/../", ""},
        {"/a:b.htm", "4"},
        {"/CON", "5"},
        {"/nul.txt", "6"},
        {"/com1 .log", "7"},
        {"/trail. ", "8"},
        {"/q?*|<>\".htm", "9"},
        {"/back\\slash.htm", "10"},
        {"/%41.htm", "11"},
        {"/C:/drive.htm", "12"},
        {"/..\\..\\up.htm", "13"},
        {"/dir.. /x.htm", "14"},
    });
    const fs::path target = m_out / "target";
    fs::create_directories(target);
    ExtractAll(target, true);
    ExtractAll(target, false);

    const std::set<fs::path> expected = {
        "escape.htm", "twice.htm", "dot.htm", "a%3Ab.htm", "%43ON", "%6Eul.txt", "%63om1 .log", "trail%2E%20",
        "q%3F%2A%7C%3C%3E%22.htm", "back%5Cslash.htm", "%2541.htm", "drive.htm", "..%5C..%5Cup.htm", "x.htm",
        fs::path("C%3A") / "drive.htm", fs::path("dir%2E%2E%20") / "x.htm", fs::path("%2E") / "dot.htm",
        fs::path("%2E%2E") / "escape.htm", fs::path("%2E%2E") / "%2E%2E" / "twice.htm"};
    EXPECT_EQ(FilesUnder(target), expected);
    EXPECT_EQ(FilesUnder(m_out.Path()).size(), expected.size()) << "something was written beside the target";
}

TEST_F(ExtractTest, WritesNamesOutsideTheAnsiCodePage)
{
    Load({{"/한국어/😀 ü.htm", "k"}, {"/説明/ﾃｽﾄ.htm", "j"}});
    ExtractAll(m_out.Path(), true);
    EXPECT_EQ(ReadAll(m_out / fs::path(u8"한국어") / fs::path(u8"😀 ü.htm")), "k");
    EXPECT_EQ(ReadAll(m_out / fs::path(u8"説明") / fs::path(u8"ﾃｽﾄ.htm")), "j");
}

TEST_F(ExtractTest, ReachesPathsLongerThanTheClassicLimit)
{
    std::string folders;
    for (int i = 0; i < 12; ++i) folders += "/" + std::string(30, static_cast<char>('a' + i));
    Load({{folders + "/deep.htm", "deep"}});
    ExtractAll(m_out.Path(), true);
    fs::path expected = m_out.Path();
    for (int i = 0; i < 12; ++i) expected /= std::string(30, static_cast<char>('a' + i));
    expected /= "deep.htm";
    ASSERT_GT(expected.wstring().size(), 300u);
    EXPECT_EQ(ReadAll(expected), "deep");
}

TEST_F(ExtractTest, ReportsStreamsThatCannotBeOpenedOrRead)
{
    Load({
        {"/good.htm", "good"},
        {"/past-end.htm", "x", 1000000},
        {"/far.htm", "x", 10, 1ull << 40},
    });
    EXPECT_FALSE(Extract(Row(L"past-end.htm"), m_out.Path(), false));
    EXPECT_EQ(m_engine.GetLastFileError().cause, FileErrorCause::None);
    EXPECT_FALSE(Extract(Row(L"far.htm"), m_out.Path(), false));
    EXPECT_FALSE(m_engine.ExtractStream(m_engine.GetRoot(), L"", L"missing.htm", m_out.Path().wstring(), FALSE));
    EXPECT_FALSE(m_engine.ExtractStream(nullptr, L"", L"good.htm", m_out.Path().wstring(), FALSE));
    EXPECT_TRUE(FilesUnder(m_out.Path()).empty());
    EXPECT_TRUE(Extract(Row(L"good.htm"), m_out.Path(), false));
}

TEST_F(ExtractTest, ReportsATargetThatCannotBeCreated)
{
    Load({{"/page.htm", "text"}});
    const fs::path missing = m_out / "no" / "such" / "folder";
    EXPECT_FALSE(Extract(Row(L"page.htm"), missing, false));
    const FileError& error = m_engine.GetLastFileError();
    EXPECT_EQ(error.cause, FileErrorCause::BadPath);
    EXPECT_EQ(fs::path(error.path), missing / "page.htm");
}

// Fails writes once a byte budget is spent, the way a full disk does.
class FullDisk final : public IFileSystem {
public:
    explicit FullDisk(std::size_t room) : m_room(room) {}

    bool DirectoryExists(const std::wstring& path) override { return PlatformFileSystem().DirectoryExists(path); }
    void MakeDirectory(const std::wstring& path) override { PlatformFileSystem().MakeDirectory(path); }
    void RemoveFile(const std::wstring& path) override
    {
        removed.push_back(path);
        PlatformFileSystem().RemoveFile(path);
    }

    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override
    {
        auto file = PlatformFileSystem().CreateAlways(path, error);
        return file ? std::make_unique<LimitedFile>(std::move(file), m_room) : nullptr;
    }

    std::vector<std::wstring> removed;

private:
    class LimitedFile final : public IOutputFile {
    public:
        LimitedFile(std::unique_ptr<IOutputFile> file, std::size_t& room) : m_file(std::move(file)), m_room(room) {}
        bool Write(std::span<const std::uint8_t> bytes, FileError& error) override
        {
            const std::size_t fits = std::min(bytes.size(), m_room);
            m_room -= fits;
            if (!m_file->Write(bytes.first(fits), error)) return false;
            if (fits == bytes.size()) return true;
            error.cause = FileErrorCause::DiskFull;
            return false;
        }
        bool Close(FileError& error) override { return m_file->Close(error); }

    private:
        std::unique_ptr<IOutputFile> m_file;
        std::size_t& m_room;
    };

    std::size_t m_room;
};

TEST(ExtractToFullDisk, RemovesThePartialFileAndSaysTheDiskIsFull)
{
    TempFolder folder;
    const auto path = folder / "in.chm";
    WriteFileBytes(path.string(), BuildChm({{"/small.htm", Pattern(100)}, {"/big.htm", Pattern(300000)}}));
    FullDisk disk(150000);
    CChmEngine engine({}, disk);
    ASSERT_GE(engine.OpenFile(path.wstring()), 0);
    const fs::path out = folder / "out";
    fs::create_directories(out);

    EXPECT_TRUE(engine.ExtractStream(engine.GetRoot(), L"", L"small.htm", out.wstring(), FALSE));
    EXPECT_FALSE(engine.ExtractStream(engine.GetRoot(), L"", L"big.htm", out.wstring(), FALSE));
    EXPECT_EQ(engine.GetLastFileError().cause, FileErrorCause::DiskFull);
    EXPECT_EQ(fs::path(engine.GetLastFileError().path), out / "big.htm");
    EXPECT_FALSE(fs::exists(out / "big.htm"));
    EXPECT_EQ(ReadAll(out / "small.htm"), Pattern(100));
    ASSERT_EQ(disk.removed.size(), 1u);
}

} // namespace
