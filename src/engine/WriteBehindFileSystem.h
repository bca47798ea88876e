// A file system that hands every call to one writer thread, in the order they were made, so that
// the caller goes on reading the next streams while files are created, written and closed: on a
// large help file that is half of an unpack's time. Bytes waiting for the writer are bounded.
//
// What the writer does is what the wrapped file system would have done had the calls been made
// directly, except that failures come later: a file that cannot be created, written or closed is
// removed by the writer and counted against the tag current when it was created.
#pragma once

#include "engine/FileSystem.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

class CWriteBehindFileSystem final : public IFileSystem {
public:
    explicit CWriteBehindFileSystem(IFileSystem& target);
    // Waits for every call made.
    ~CWriteBehindFileSystem() override;
    CWriteBehindFileSystem(const CWriteBehindFileSystem&) = delete;
    CWriteBehindFileSystem& operator=(const CWriteBehindFileSystem&) = delete;

    // The files created after this call fail, if they do, under `tag` (the caller's row).
    void SetTag(std::size_t tag) { m_tag = tag; }
    // Failures so far; it grows on the writer thread.
    std::size_t FailureCount() const { return m_failureCount.load(std::memory_order_acquire); }
    // Waits for every call made; the tags that failed, in the order they did. Calls made after it
    // are carried out at once.
    std::vector<std::size_t> Finish();

    // Answered "no" without asking: the answer would have to wait for the calls before it, and a
    // folder made again where it exists costs one failed call on the writer thread.
    bool DirectoryExists(const std::wstring& path) override;
    // Asked of the target at once, on the caller's thread: a file written earlier in the run may
    // still be queued, which the engine knows for itself; what stood there before the run does not
    // depend on the queue.
    bool FileExists(const std::wstring& path) override { return m_target.FileExists(path); }
    void MakeDirectory(const std::wstring& path) override;
    // One file at a time: it is the writer's until it is closed or let go.
    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override;
    void RemoveFile(const std::wstring& path) override;
    void ForgetFolders() override;

private:
    class QueuedFile;
    enum class Step : std::uint8_t { MakeDirectory, Create, Write, Close, LetGo, Remove, ForgetFolders };
    struct Call {
        Step step;
        std::size_t tag;
        std::wstring path;
        std::vector<std::uint8_t> bytes;
    };
    // The calls up to the end of a file go to the writer together: one lock and at most one
    // wake-up per file, where a call each would make the two threads contend for every write.
    // Batches carried out come back to the caller with their buffers, so that neither side
    // allocates and frees memory for every file.
    struct Batch {
        std::vector<Call> calls; // the first `used` are this batch's
        std::size_t used = 0;
        std::size_t weight = 0; // the memory its calls hold
    };

    void Queue(Step step, std::wstring_view path = {}, std::span<const std::uint8_t> bytes = {});
    void Hand();
    void Write();
    void Carry(Call& call);
    void FailOpenFile(std::size_t tag);

    IFileSystem& m_target;
    std::size_t m_tag = 0;
    Batch m_filling; // the caller's, not handed yet

    std::mutex m_mutex;
    std::condition_variable m_batchHanded; // the writer waits here
    std::condition_variable m_roomMade;    // the caller waits here
    std::deque<Batch> m_batches;
    std::vector<Batch> m_spareBatches;
    std::size_t m_queuedWeight = 0;
    std::size_t m_spareWeight = 0;
    bool m_writerIdle = false;
    bool m_callerWaits = false;
    bool m_finishing = false;

    // The writer's own: the file being written and the failures.
    std::unique_ptr<IOutputFile> m_openFile;
    std::wstring m_openPath;
    std::size_t m_openTag = 0;
    std::vector<std::size_t> m_failures;
    std::atomic<std::size_t> m_failureCount{0};

    std::thread m_writer;
};
