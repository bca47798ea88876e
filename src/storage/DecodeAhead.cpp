#include "storage/DecodeAhead.h"

#include <algorithm>
#include <system_error>

namespace tarnwick::storage {
namespace {

// Two intervals per thread: one being decoded while the other waits for the reader.
constexpr std::size_t kIntervalsPerThread = 2;

} // namespace

DecodeAhead::DecodeAhead(const IntervalSource& source, std::vector<std::uint64_t> intervals, unsigned threads)
    : m_source(source), m_intervals(std::move(intervals)), m_depth(std::size_t{threads} * kIntervalsPerThread),
      m_slots(m_intervals.size())
{
    try {
        for (unsigned i = 0; i < threads; ++i) m_workers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer threads then, or none: the reader decodes what no worker does.
    }
}

DecodeAhead::~DecodeAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_roomForWork.notify_all();
    for (std::thread& worker : m_workers) worker.join();
}

bool DecodeAhead::HasJob() const { return m_nextJob < m_slots.size() && m_nextJob < m_firstKept + m_depth; }

bool DecodeAhead::DecodeOn(std::optional<LzxDecoder>& decoder, std::uint64_t interval, std::vector<std::uint8_t>& bytes) const
{
    // Nothing may leave a worker thread: what fails here is left to the reader, which reports it.
    try {
        if (!decoder) decoder.emplace(m_source.WindowBits());
        return m_source.DecodeInterval(interval, *decoder, bytes);
    } catch (...) {
        return false;
    }
}

void DecodeAhead::Work()
{
    std::optional<LzxDecoder> decoder;
    std::vector<std::uint8_t> bytes;
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idleWorkers;
        m_roomForWork.wait(lock, [this] {
            m_nextJob = std::max(m_nextJob, m_firstKept);
            return m_stopping || HasJob();
        });
        --m_idleWorkers;
        if (m_stopping) return;
        const std::size_t job = m_nextJob++;
        m_slots[job].state = State::Working;
        lock.unlock();
        const bool decoded = DecodeOn(decoder, m_intervals[job], bytes);
        lock.lock();
        // An interval the reader let go while it was decoded is thrown away.
        const bool wanted = decoded && job >= m_firstKept;
        m_slots[job].state = wanted ? State::Done : State::Failed;
        if (wanted) std::swap(m_slots[job].bytes, bytes);
        if (m_readerAwaits == job) m_slotDone.notify_one();
    }
}

const std::vector<std::uint8_t>* DecodeAhead::Interval(std::uint64_t interval)
{
    const auto found = std::lower_bound(m_intervals.begin(), m_intervals.end(), interval);
    if (found == m_intervals.end() || *found != interval || m_workers.empty()) return nullptr;
    const auto index = static_cast<std::size_t>(found - m_intervals.begin());

    std::unique_lock lock(m_mutex);
    if (index < m_firstKept) return nullptr;
    for (std::size_t passed = m_firstKept; passed < index; ++passed) std::vector<std::uint8_t>().swap(m_slots[passed].bytes);
    if (index > m_firstKept) {
        m_firstKept = index;
        if (m_idleWorkers > 0) m_roomForWork.notify_all();
    }
    m_readerAwaits = index;
    m_slotDone.wait(lock, [&] { return m_slots[index].state == State::Done || m_slots[index].state == State::Failed; });
    m_readerAwaits = SIZE_MAX;
    return m_slots[index].state == State::Done ? &m_slots[index].bytes : nullptr;
}

} // namespace tarnwick::storage
