#include "storage/ByteSource.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "base/Utf8.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>

namespace tarnwick::storage {
namespace {

bool RangeFits(std::uint64_t offset, std::size_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

#ifdef _WIN32

class FileSource final : public ByteSource {
public:
    FileSource(HANDLE file, std::uint64_t size) : m_file(file), m_size(size) {}
    ~FileSource() override { CloseHandle(m_file); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t Size() const override { return m_size; }

    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override
    {
        if (!RangeFits(offset, out.size(), m_size)) return false;
        while (!out.empty()) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size(), 1u << 30));
            DWORD got = 0;
            if (!ReadFile(m_file, out.data(), want, &got, &at) || got == 0) return false;
            out = out.subspan(got);
            offset += got;
        }
        return true;
    }

private:
    HANDLE m_file;
    std::uint64_t m_size;
};

#else

class FileSource final : public ByteSource {
public:
    FileSource(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    ~FileSource() override { close(m_fd); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t Size() const override { return m_size; }

    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override
    {
        if (!RangeFits(offset, out.size(), m_size)) return false;
        while (!out.empty()) {
            const ssize_t got = pread(m_fd, out.data(), out.size(), static_cast<off_t>(offset));
            if (got <= 0) return false;
            out = out.subspan(static_cast<std::size_t>(got));
            offset += static_cast<std::uint64_t>(got);
        }
        return true;
    }

private:
    int m_fd;
    std::uint64_t m_size;
};

#endif

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::uint64_t Size() const override { return m_bytes.size(); }

    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override
    {
        if (!RangeFits(offset, out.size(), m_bytes.size())) return false;
        if (!out.empty()) std::memcpy(out.data(), m_bytes.data() + offset, out.size());
        return true;
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace

#ifdef _WIN32

std::unique_ptr<ByteSource> OpenFileSource(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<FileSource>(file, static_cast<std::uint64_t>(size.QuadPart));
}

#else

std::unique_ptr<ByteSource> OpenFileSource(const wchar_t* path)
{
    const std::string name = FileNameFromWide(path);
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<FileSource>(fd, static_cast<std::uint64_t>(info.st_size));
}

#endif

std::unique_ptr<ByteSource> MakeMemorySource(std::vector<std::uint8_t> bytes)
{
    return std::make_unique<MemorySource>(std::move(bytes));
}

} // namespace tarnwick::storage
