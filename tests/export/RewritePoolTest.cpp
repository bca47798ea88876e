// Files rewritten on threads of their own: every file handed over is written as its rewrite made
// it, whichever thread takes it and however far the reader runs ahead of the threads, other files
// pass unchanged, and a file that cannot be written is given back by entry and removed. Runs under
// ThreadSanitizer too.
#include "export/RewritePool.h"
#include "export/RewritingFileSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

using tarnwick::exporting::RewritePool;

namespace {

// Written from any thread; a file is kept when it closes. Files named "fail…" cannot be written.
class MemoryFileSystem final : public IFileSystem {
public:
    std::map<std::wstring, std::string> files;
    std::vector<std::wstring> removed;

    bool DirectoryExists(const std::wstring&) override { return true; }
    bool FileExists(const std::wstring&) override { return false; }
    void MakeDirectory(const std::wstring&) override {}
    void RemoveFile(const std::wstring& path) override
    {
        std::lock_guard lock(m_mutex);
        removed.push_back(path);
        files.erase(path);
    }
    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError&) override
    {
        std::lock_guard lock(m_mutex);
        files[path];
        return std::make_unique<File>(*this, path);
    }

private:
    struct File final : IOutputFile {
        File(MemoryFileSystem& owner, std::wstring path) : owner(owner), path(std::move(path)) {}
        bool Write(std::span<const std::uint8_t> bytes, FileError& error) override
        {
            if (path.find(L"/fail") != std::wstring::npos) {
                error.cause = FileErrorCause::DiskFull;
                return false;
            }
            written.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            return true;
        }
        bool Close(FileError&) override
        {
            std::lock_guard lock(owner.m_mutex);
            owner.files[path] = written;
            return true;
        }
        MemoryFileSystem& owner;
        std::wstring path;
        std::string written;
    };

    std::mutex m_mutex;
};

void WriteFile(IFileSystem& files, const std::wstring& path, const std::string& bytes)
{
    FileError error{};
    std::unique_ptr<IOutputFile> file = files.CreateAlways(path, error);
    ASSERT_TRUE(file);
    // In two pieces, as a stream is unpacked a frame at a time.
    const std::size_t half = bytes.size() / 2;
    file->Write({reinterpret_cast<const std::uint8_t*>(bytes.data()), half}, error);
    file->Write({reinterpret_cast<const std::uint8_t*>(bytes.data()) + half, bytes.size() - half}, error);
    file->Close(error);
}

// Pages of 0.6 MB among small ones: two of them fill the pool's queue, and the reader must wait.
std::string PageBytes(std::size_t entry) { return std::string(entry % 50 == 3 ? 600'000 : 100 + entry, char('a' + entry % 26)); }

TEST(RewritePool, WritesEveryFileAsRewrittenAndGivesBackThoseThatFailed)
{
    for (const unsigned threads : {1u, 3u}) {
        SCOPED_TRACE(threads);
        std::vector<std::string> names;
        for (std::size_t entry = 0; entry < 200; ++entry)
            names.push_back((entry % 40 == 7 ? "fail" : "p") + std::to_string(entry) + ".htm");
        std::vector<std::string> relative; // the map views these
        for (const std::string& name : names) relative.push_back("sub/" + name);
        std::unordered_map<std::string_view, std::size_t> rewritten;
        for (std::size_t entry = 0; entry < relative.size(); ++entry) rewritten.emplace(relative[entry], entry);

        std::atomic<unsigned> highestThread = 0;
        RewritePool pool(
            [&](unsigned thread, std::size_t entry, std::string&& bytes) {
                unsigned seen = highestThread;
                while (thread > seen && !highestThread.compare_exchange_weak(seen, thread)) {}
                return std::to_string(entry) + ":" + bytes;
            },
            threads);
        MemoryFileSystem target;
        CRewritingFileSystem rewriting(target, L"/out", std::move(rewritten), pool);
        WriteFile(rewriting, L"/out/sub/style.css", "kept as it is");
        for (std::size_t entry = 0; entry < names.size(); ++entry)
            WriteFile(rewriting, L"/out/sub/" + std::wstring(names[entry].begin(), names[entry].end()), PageBytes(entry));

        EXPECT_EQ(rewriting.Finish(), (std::vector<std::size_t>{7, 47, 87, 127, 167}));
        EXPECT_LT(highestThread, threads);
        EXPECT_EQ(target.removed.size(), 5u);
        EXPECT_EQ(target.files[L"/out/sub/style.css"], "kept as it is");
        EXPECT_EQ(target.files.size(), 1 + names.size() - 5);
        for (std::size_t entry = 0; entry < names.size(); ++entry) {
            const std::wstring path = L"/out/sub/" + std::wstring(names[entry].begin(), names[entry].end());
            if (entry % 40 == 7)
                EXPECT_FALSE(target.files.contains(path)) << entry;
            else
                EXPECT_EQ(target.files[path], std::to_string(entry) + ":" + PageBytes(entry)) << entry;
        }
    }
}

} // namespace
