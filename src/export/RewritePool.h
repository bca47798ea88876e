// Files whose bytes are rewritten before they are written, each on one of a few threads of its
// own: rewriting pages is most of an export's work, while reading the help file and creating
// files stay on the thread that hands them over (neither the storage nor the file system is shared
// between threads). With one thread, each file is rewritten and written as it is handed over.
#pragma once

#include "engine/FileSystem.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::exporting {

class RewritePool {
public:
    // `thread` is below the threads asked for, and each is used by one thread at a time.
    using Rewrite = std::function<std::string(unsigned thread, std::size_t item, std::string&& bytes)>;

    RewritePool(Rewrite rewrite, unsigned threads);
    ~RewritePool();

    // Writes what `rewrite` makes of `bytes` into `target` and closes it. Waits while the files
    // waiting hold too many bytes, so that memory stays bounded when rewriting falls behind.
    void Hand(std::size_t item, std::wstring path, std::string bytes, std::unique_ptr<IOutputFile> target);

    struct Failure {
        std::size_t item;
        std::wstring path; // of a file written in part, or not at all
    };
    // Waits until every file handed over is written; those that could not be, by item.
    std::vector<Failure> Finish();

private:
    struct PendingFile {
        std::size_t item = 0;
        std::wstring path;
        std::string bytes;
        std::unique_ptr<IOutputFile> target;
    };

    void Work(unsigned thread);
    bool Write(unsigned thread, PendingFile& file) const;

    Rewrite m_rewrite;
    std::mutex m_mutex;
    std::condition_variable m_filesWaiting; // for the threads: a file to rewrite, or the end
    std::condition_variable m_progress;     // for the caller: room for a file, or all written
    std::deque<PendingFile> m_files;
    std::size_t m_pendingBytes = 0;
    unsigned m_busy = 0;
    bool m_stopping = false;
    std::vector<Failure> m_failed;
    std::vector<std::thread> m_threads;
};

} // namespace tarnwick::exporting
