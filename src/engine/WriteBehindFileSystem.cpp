#include "engine/WriteBehindFileSystem.h"

#include <system_error>

namespace {

// Bytes the caller may be ahead of the writer: enough for a run of small files to queue up while
// a large one is written, little beside the decoder windows.
constexpr std::size_t kMostQueuedWeight = 512 * 1024;
// The caller, once stopped, goes on when the writer has taken half: waking it for every file
// would cost a system call and a switch of threads each time.
constexpr std::size_t kResumeWeight = kMostQueuedWeight / 2;
// A large file is handed over in parts, so that its first bytes are written while it is read.
constexpr std::size_t kMostBatchWeight = 64 * 1024;
constexpr std::size_t kWeightOfCall = 64;
// Buffers kept for the caller's next batches.
constexpr std::size_t kMostSpareWeight = 128 * 1024;

} // namespace

class CWriteBehindFileSystem::QueuedFile final : public IOutputFile {
public:
    explicit QueuedFile(CWriteBehindFileSystem& owner) : m_owner(owner) {}
    ~QueuedFile() override
    {
        if (!m_closed) m_owner.Queue(Step::LetGo);
    }
    QueuedFile(const QueuedFile&) = delete;
    QueuedFile& operator=(const QueuedFile&) = delete;

    bool Write(std::span<const std::uint8_t> bytes, FileError&) override
    {
        m_owner.Queue(Step::Write, {}, bytes);
        return true;
    }

    bool Close(FileError&) override
    {
        m_closed = true;
        m_owner.Queue(Step::Close);
        return true;
    }

private:
    CWriteBehindFileSystem& m_owner;
    bool m_closed = false;
};

CWriteBehindFileSystem::CWriteBehindFileSystem(IFileSystem& target) : m_target(target)
{
    try {
        m_writer = std::thread([this] { Write(); });
    } catch (const std::system_error&) {
        // Without a thread every call is carried out as it is made.
    }
}

CWriteBehindFileSystem::~CWriteBehindFileSystem() { Finish(); }

std::vector<std::size_t> CWriteBehindFileSystem::Finish()
{
    if (m_writer.joinable()) {
        Hand();
        {
            const std::lock_guard lock(m_mutex);
            m_finishing = true;
        }
        m_batchHanded.notify_one();
        m_writer.join();
    }
    m_openFile.reset();
    return std::move(m_failures);
}

bool CWriteBehindFileSystem::DirectoryExists(const std::wstring&) { return false; }

void CWriteBehindFileSystem::MakeDirectory(const std::wstring& path) { Queue(Step::MakeDirectory, path); }

std::unique_ptr<IOutputFile> CWriteBehindFileSystem::CreateAlways(const std::wstring& path, FileError&)
{
    Queue(Step::Create, path);
    return std::make_unique<QueuedFile>(*this);
}

void CWriteBehindFileSystem::RemoveFile(const std::wstring& path) { Queue(Step::Remove, path); }

void CWriteBehindFileSystem::ForgetFolders() { Queue(Step::ForgetFolders); }

void CWriteBehindFileSystem::Queue(Step step, std::wstring_view path, std::span<const std::uint8_t> bytes)
{
    if (m_filling.used == m_filling.calls.size()) m_filling.calls.emplace_back();
    Call& call = m_filling.calls[m_filling.used++];
    call.step = step;
    call.tag = m_tag;
    call.path.assign(path);
    call.bytes.assign(bytes.begin(), bytes.end());
    if (!m_writer.joinable()) {
        m_filling.used = 0;
        return Carry(call);
    }
    m_filling.weight += kWeightOfCall + call.path.capacity() * sizeof(wchar_t) + call.bytes.capacity();
    if (step == Step::Close || step == Step::LetGo || m_filling.weight >= kMostBatchWeight) Hand();
}

void CWriteBehindFileSystem::Hand()
{
    if (m_filling.used == 0) return;
    std::unique_lock lock(m_mutex);
    if (m_queuedWeight > kMostQueuedWeight) {
        m_callerWaits = true;
        m_roomMade.wait(lock, [this] { return m_queuedWeight <= kResumeWeight; });
        m_callerWaits = false;
    }
    m_queuedWeight += m_filling.weight;
    m_batches.push_back(std::move(m_filling));
    m_filling = {};
    if (!m_spareBatches.empty()) {
        m_filling = std::move(m_spareBatches.back());
        m_spareBatches.pop_back();
        m_spareWeight -= m_filling.weight;
        m_filling.weight = 0;
    }
    if (m_writerIdle) m_batchHanded.notify_one();
}

void CWriteBehindFileSystem::Write()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_batches.empty()) {
            if (m_finishing) return;
            m_writerIdle = true;
            m_batchHanded.wait(lock, [this] { return m_finishing || !m_batches.empty(); });
            m_writerIdle = false;
            continue;
        }
        Batch batch = std::move(m_batches.front());
        m_batches.pop_front();
        lock.unlock();
        for (std::size_t i = 0; i < batch.used; ++i) Carry(batch.calls[i]);
        batch.used = 0;
        lock.lock();
        m_queuedWeight -= batch.weight;
        if (m_callerWaits && m_queuedWeight <= kResumeWeight) m_roomMade.notify_one();
        if (m_spareWeight + batch.weight <= kMostSpareWeight) {
            m_spareWeight += batch.weight;
            m_spareBatches.push_back(std::move(batch));
        }
    }
}

void CWriteBehindFileSystem::Carry(Call& call)
{
    FileError error;
    switch (call.step) {
    case Step::MakeDirectory: m_target.MakeDirectory(call.path); break;
    case Step::Create:
        m_openFile = m_target.CreateAlways(call.path, error);
        m_openPath = call.path;
        m_openTag = call.tag;
        if (!m_openFile) FailOpenFile(call.tag);
        break;
    case Step::Write:
        if (m_openFile && !m_openFile->Write(call.bytes, error)) FailOpenFile(m_openTag);
        break;
    case Step::Close:
        if (m_openFile && !m_openFile->Close(error)) FailOpenFile(m_openTag);
        m_openFile.reset();
        break;
    case Step::LetGo: m_openFile.reset(); break;
    case Step::Remove: m_target.RemoveFile(call.path); break;
    case Step::ForgetFolders: m_target.ForgetFolders(); break;
    }
}

void CWriteBehindFileSystem::FailOpenFile(std::size_t tag)
{
    // As a direct writer would: no partial file, and the folders are asked again, since they may
    // be what went away.
    if (m_openFile) {
        m_openFile.reset();
        m_target.RemoveFile(m_openPath);
    }
    m_target.ForgetFolders();
    m_failures.push_back(tag);
    m_failureCount.fetch_add(1, std::memory_order_release);
}
