#include "export/RewritePool.h"

#include <algorithm>
#include <utility>

namespace tarnwick::exporting {
namespace {

constexpr std::size_t kMostPendingBytes = 1u << 20;

} // namespace

RewritePool::RewritePool(Rewrite rewrite, unsigned threads) : m_rewrite(std::move(rewrite))
{
    if (threads < 2) return;
    for (unsigned i = 0; i < threads; ++i) m_threads.emplace_back([this, i] { Work(i); });
}

RewritePool::~RewritePool()
{
    {
        std::unique_lock lock(m_mutex);
        m_progress.wait(lock, [this] { return m_files.empty() && m_busy == 0; });
        m_stopping = true;
    }
    m_filesWaiting.notify_all();
    for (std::thread& thread : m_threads) thread.join();
}

void RewritePool::Hand(std::size_t item, std::wstring path, std::string bytes, std::unique_ptr<IOutputFile> target)
{
    PendingFile file{item, std::move(path), std::move(bytes), std::move(target)};
    if (m_threads.empty()) {
        if (!Write(0, file)) m_failed.push_back({file.item, std::move(file.path)});
        return;
    }
    {
        std::unique_lock lock(m_mutex);
        m_progress.wait(lock, [this] { return m_pendingBytes < kMostPendingBytes; });
        m_pendingBytes += file.bytes.size();
        m_files.push_back(std::move(file));
    }
    m_filesWaiting.notify_one();
}

std::vector<RewritePool::Failure> RewritePool::Finish()
{
    std::unique_lock lock(m_mutex);
    m_progress.wait(lock, [this] { return m_files.empty() && m_busy == 0; });
    std::sort(m_failed.begin(), m_failed.end(), [](const Failure& a, const Failure& b) { return a.item < b.item; });
    return std::exchange(m_failed, {});
}

// Each thread is woken only for what it waits for: a wake-up costs more than a small page's
// rewriting on a virtual machine.
void RewritePool::Work(unsigned thread)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_filesWaiting.wait(lock, [this] { return m_stopping || !m_files.empty(); });
        if (m_files.empty()) return;
        PendingFile file = std::move(m_files.front());
        m_files.pop_front();
        const bool wasFull = m_pendingBytes >= kMostPendingBytes;
        m_pendingBytes -= file.bytes.size();
        ++m_busy;
        if (wasFull && m_pendingBytes < kMostPendingBytes) m_progress.notify_all();
        lock.unlock();
        const bool written = Write(thread, file);
        file.target.reset();
        lock.lock();
        if (!written) m_failed.push_back({file.item, std::move(file.path)});
        --m_busy;
        if (m_files.empty() && m_busy == 0) m_progress.notify_all();
    }
}

bool RewritePool::Write(unsigned thread, PendingFile& file) const
{
    FileError error{};
    try {
        const std::string bytes = m_rewrite(thread, file.item, std::move(file.bytes));
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const bool written = file.target->Write({data, bytes.size()}, error);
        return file.target->Close(error) && written;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace tarnwick::exporting
