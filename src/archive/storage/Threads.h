// Worker threads and the one lock-and-condition they need, for decoding ahead. The standard
// library's where it has them; Win32's where the toolchain's win32 thread model leaves them out.
#pragma once

#include <functional>
#include <memory>

namespace tarnwick::storage {

// The processors the program may use; 1 when that is unknown.
unsigned HardwareThreads();

// A lock with one condition to wait on.
class Monitor {
public:
    Monitor();
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    void Lock();
    void Unlock();
    // Releases the lock while waiting, and holds it again on return. Callers check their
    // condition again: a wake-up may be spurious.
    void Wait();
    void NotifyAll();

private:
    struct Native;
    std::unique_ptr<Native> m_native;
};

class MonitorLock {
public:
    explicit MonitorLock(Monitor& monitor) : m_monitor(monitor) { m_monitor.Lock(); }
    ~MonitorLock() { m_monitor.Unlock(); }
    MonitorLock(const MonitorLock&) = delete;
    MonitorLock& operator=(const MonitorLock&) = delete;

private:
    Monitor& m_monitor;
};

// Runs `body` on `count` threads; the destructor waits for them all to return.
class WorkerThreads {
public:
    WorkerThreads(unsigned count, std::function<void()> body);
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // The threads that could be started.
    unsigned Count() const;

private:
    struct Native;
    std::function<void()> m_body;
    std::unique_ptr<Native> m_native;
};

} // namespace tarnwick::storage
