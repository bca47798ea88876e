// Writing behind the caller on a thread of its own: the file system below must receive the very
// calls, bytes and order a direct caller would have made, however far the caller runs ahead, and a
// file that fails on the writer is reported under its row and leaves nothing behind. Runs under
// ThreadSanitizer too.
#include "engine/WriteBehindFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

// Remembers every call it receives, in order, and the files it holds; the file named in a
// `fail…` member fails at that step.
class RecordingFileSystem final : public IFileSystem {
public:
    std::vector<std::wstring> calls;
    std::map<std::wstring, std::vector<std::uint8_t>> files;
    std::wstring failCreate, failSecondWrite, failClose;

    bool DirectoryExists(const std::wstring&) override { return true; }
    bool FileExists(const std::wstring& path) override { return files.contains(path); }
    void MakeDirectory(const std::wstring& path) override { calls.push_back(L"mkdir " + path); }
    void RemoveFile(const std::wstring& path) override
    {
        calls.push_back(L"remove " + path);
        files.erase(path);
    }
    void ForgetFolders() override { calls.push_back(L"forget"); }

    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override
    {
        calls.push_back(L"create " + path);
        if (path == failCreate) {
            error.cause = FileErrorCause::AccessDenied;
            return nullptr;
        }
        files[path].clear();
        return std::make_unique<File>(*this, path);
    }

private:
    struct File final : IOutputFile {
        File(RecordingFileSystem& owner, std::wstring path) : owner(owner), path(std::move(path)) {}
        bool Write(std::span<const std::uint8_t> bytes, FileError& error) override
        {
            owner.calls.push_back(L"write " + path + L" " + std::to_wstring(bytes.size()));
            if (path == owner.failSecondWrite && ++writes == 2) {
                error.cause = FileErrorCause::DiskFull;
                return false;
            }
            owner.files[path].insert(owner.files[path].end(), bytes.begin(), bytes.end());
            return true;
        }
        bool Close(FileError& error) override
        {
            owner.calls.push_back(L"close " + path);
            if (path != owner.failClose) return true;
            error.cause = FileErrorCause::HardIO;
            return false;
        }
        RecordingFileSystem& owner;
        std::wstring path;
        int writes = 0;
    };
};

std::vector<std::uint8_t> Bytes(std::size_t size, std::size_t seed)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
    return bytes;
}

// What an unpack asks of a file system: folders, files of every size in one or many writes (megabytes
// in all, so that the caller has to wait for the writer), a file let go half-written and removed.
void Unpack(IFileSystem& files)
{
    FileError error;
    for (std::size_t i = 0; i < 400; ++i) {
        const std::wstring folder = L"f" + std::to_wstring(i / 50);
        if (i % 50 == 0) files.MakeDirectory(folder);
        std::unique_ptr<IOutputFile> file = files.CreateAlways(folder + L"/" + std::to_wstring(i), error);
        ASSERT_TRUE(file);
        for (std::size_t part = 0; part < i % 4; ++part) file->Write(Bytes(i * 97 % 70000, i + part), error);
        if (i % 100 == 99) {
            file.reset();
            files.RemoveFile(folder + L"/" + std::to_wstring(i));
            files.ForgetFolders();
            continue;
        }
        file->Close(error);
    }
}

TEST(WriteBehind, GivesTheFileSystemBelowWhatADirectCallerWould)
{
    RecordingFileSystem direct;
    Unpack(direct);

    RecordingFileSystem below;
    CWriteBehindFileSystem writeBehind(below);
    Unpack(writeBehind);
    EXPECT_TRUE(writeBehind.Finish().empty());
    EXPECT_EQ(below.calls, direct.calls);
    EXPECT_EQ(below.files, direct.files);
}

TEST(WriteBehind, ReportsEachFailedFileUnderItsTagAndRemovesIt)
{
    RecordingFileSystem below;
    below.failCreate = L"b";
    below.failSecondWrite = L"c";
    below.failClose = L"d";
    CWriteBehindFileSystem writeBehind(below);
    FileError error;
    const std::vector<std::uint8_t> bytes = Bytes(1000, 1);
    std::size_t tag = 10;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) {
        writeBehind.SetTag(tag++);
        std::unique_ptr<IOutputFile> file = writeBehind.CreateAlways(name, error);
        // A failure belongs to the file's row, whatever the tag when its bytes come.
        writeBehind.SetTag(99);
        for (int part = 0; part < 3; ++part) file->Write(bytes, error);
        file->Close(error);
    }
    EXPECT_EQ(writeBehind.Finish(), (std::vector<std::size_t>{11, 12, 13}));
    EXPECT_EQ(writeBehind.FailureCount(), 3u);

    EXPECT_EQ(below.files.size(), 2u);
    EXPECT_EQ(below.files[L"a"].size(), 3000u);
    EXPECT_EQ(below.files[L"e"].size(), 3000u);
    // Nothing more is asked of a file once it failed, and the folders are let go after each failure.
    const std::vector<std::wstring> afterC(std::find(below.calls.begin(), below.calls.end(), L"create c"),
                                           std::find(below.calls.begin(), below.calls.end(), L"create d"));
    EXPECT_EQ(afterC, (std::vector<std::wstring>{L"create c", L"write c 1000", L"write c 1000", L"remove c", L"forget"}));
    EXPECT_EQ(std::count(below.calls.begin(), below.calls.end(), L"forget"), 3);
}

} // namespace
