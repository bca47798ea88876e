// Decodes the reset intervals of a compressed section that a reader is about to need, on worker
// threads, ahead of the reader: every interval decodes on its own. At most `depth` decoded
// intervals the reader has not passed yet are kept, so memory stays bounded whatever the file.
#pragma once

#include "storage/LzxDecoder.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tarnwick::storage {

class IntervalSource {
public:
    virtual ~IntervalSource() = default;
    virtual unsigned WindowBits() const = 0;
    // Decodes reset interval `interval` whole into `out`; called on the workers, each with its own decoder.
    virtual bool DecodeInterval(std::uint64_t interval, LzxDecoder& decoder, std::vector<std::uint8_t>& out) const = 0;
};

class DecodeAhead {
public:
    // `intervals` ascending, without repeats: the order the reader will ask for them.
    DecodeAhead(const IntervalSource& source, std::vector<std::uint64_t> intervals, unsigned threads);
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // The bytes of `interval`, waiting for them if need be; they stay valid until the reader asks
    // for a later interval, which lets every earlier one go. Null when the interval was not
    // announced, was let go already, or is damaged: the reader then decodes it itself.
    const std::vector<std::uint8_t>* Interval(std::uint64_t interval);

private:
    enum class State : std::uint8_t { Waiting, Working, Done, Failed };
    struct Slot {
        State state = State::Waiting;
        std::vector<std::uint8_t> bytes;
    };

    void Work();
    bool HasJob() const;
    bool DecodeOn(std::optional<LzxDecoder>& decoder, std::uint64_t interval, std::vector<std::uint8_t>& bytes) const;

    const IntervalSource& m_source;
    const std::vector<std::uint64_t> m_intervals;
    const std::size_t m_depth;
    std::vector<Slot> m_slots;
    // Each side is woken only when the other has something for it and it is waiting: a wake-up
    // is a system call and a switch of threads, thousands of times on a large file.
    std::mutex m_mutex;
    std::condition_variable m_roomForWork; // workers wait here
    std::condition_variable m_slotDone;    // the reader waits here
    std::size_t m_idleWorkers = 0;
    std::size_t m_readerAwaits = SIZE_MAX; // the slot the reader waits for, if it does
    std::size_t m_nextJob = 0;   // the first slot no worker took yet
    std::size_t m_firstKept = 0; // slots before it were let go by the reader
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace tarnwick::storage
