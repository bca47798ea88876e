#include "Threads.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>

namespace tarnwick::storage {

unsigned HardwareThreads()
{
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 0 ? system.dwNumberOfProcessors : 1;
}

struct Monitor::Native {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};

Monitor::Monitor() : m_native(std::make_unique<Native>()) {}
Monitor::~Monitor() = default;
void Monitor::Lock() { AcquireSRWLockExclusive(&m_native->lock); }
void Monitor::Unlock() { ReleaseSRWLockExclusive(&m_native->lock); }
void Monitor::Wait() { SleepConditionVariableSRW(&m_native->condition, &m_native->lock, INFINITE, 0); }
void Monitor::NotifyAll() { WakeAllConditionVariable(&m_native->condition); }

struct WorkerThreads::Native {
    std::vector<HANDLE> threads;
};

namespace {

DWORD WINAPI RunBody(void* body)
{
    (*static_cast<std::function<void()>*>(body))();
    return 0;
}

} // namespace

WorkerThreads::WorkerThreads(unsigned count, std::function<void()> body)
    : m_body(std::move(body)), m_native(std::make_unique<Native>())
{
    for (unsigned i = 0; i < count; ++i) {
        // A thread that cannot be made leaves its share to the others, or to the reader.
        if (HANDLE thread = CreateThread(nullptr, 0, RunBody, &m_body, 0, nullptr)) m_native->threads.push_back(thread);
    }
}

unsigned WorkerThreads::Count() const { return static_cast<unsigned>(m_native->threads.size()); }

WorkerThreads::~WorkerThreads()
{
    for (HANDLE thread : m_native->threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

} // namespace tarnwick::storage

#else
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tarnwick::storage {

unsigned HardwareThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

struct Monitor::Native {
    std::mutex mutex;
    std::condition_variable condition;
};

Monitor::Monitor() : m_native(std::make_unique<Native>()) {}
Monitor::~Monitor() = default;
void Monitor::Lock() { m_native->mutex.lock(); }
void Monitor::Unlock() { m_native->mutex.unlock(); }

void Monitor::Wait()
{
    std::unique_lock<std::mutex> held(m_native->mutex, std::adopt_lock);
    m_native->condition.wait(held);
    held.release();
}

void Monitor::NotifyAll() { m_native->condition.notify_all(); }

struct WorkerThreads::Native {
    std::vector<std::thread> threads;
};

WorkerThreads::WorkerThreads(unsigned count, std::function<void()> body)
    : m_body(std::move(body)), m_native(std::make_unique<Native>())
{
    for (unsigned i = 0; i < count; ++i) {
        // A thread that cannot be made leaves its share to the others, or to the reader.
        try {
            m_native->threads.emplace_back(m_body);
        } catch (const std::exception&) {
            break;
        }
    }
}

unsigned WorkerThreads::Count() const { return static_cast<unsigned>(m_native->threads.size()); }

WorkerThreads::~WorkerThreads()
{
    for (std::thread& thread : m_native->threads) thread.join();
}

} // namespace tarnwick::storage

#endif
