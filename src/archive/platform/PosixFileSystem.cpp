#include "FileSystem.h"

#include "Utf8.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

using tarnwick::storage::Utf8FromWide;

namespace {

FileErrorCause CauseOf(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return FileErrorCause::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ELOOP: return FileErrorCause::AccessDenied;
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG: return FileErrorCause::BadPath;
    case EMFILE:
    case ENFILE: return FileErrorCause::TooManyOpenFiles;
    case EIO: return FileErrorCause::HardIO;
    case EBADF: return FileErrorCause::InvalidFile;
    default: return FileErrorCause::Generic;
    }
}

bool Fail(FileError& error, int code)
{
    error.cause = CauseOf(code);
    error.systemError = static_cast<std::uint32_t>(code);
    return false;
}

class PosixOutputFile final : public IOutputFile {
public:
    explicit PosixOutputFile(int fd) : m_fd(fd) {}
    ~PosixOutputFile() override
    {
        if (m_fd >= 0) close(m_fd);
    }
    PosixOutputFile(const PosixOutputFile&) = delete;
    PosixOutputFile& operator=(const PosixOutputFile&) = delete;

    bool Write(std::span<const std::uint8_t> bytes, FileError& error) override
    {
        while (!bytes.empty()) {
            const ssize_t written = write(m_fd, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) return Fail(error, errno);
            if (written == 0) return Fail(error, ENOSPC);
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        }
        return true;
    }

    bool Close(FileError& error) override
    {
        const int result = close(std::exchange(m_fd, -1));
        return result == 0 || Fail(error, errno);
    }

private:
    int m_fd;
};

class PosixFileSystem final : public IFileSystem {
public:
    bool DirectoryExists(const std::wstring& path) override
    {
        struct stat info {};
        return stat(Utf8FromWide(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    void MakeDirectory(const std::wstring& path) override { mkdir(Utf8FromWide(path).c_str(), 0777); }

    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override
    {
        // Not following a link keeps an existing symbolic link from sending the
        // content somewhere outside the target folder.
        const int fd = open(Utf8FromWide(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            Fail(error, errno);
            return nullptr;
        }
        return std::make_unique<PosixOutputFile>(fd);
    }

    void RemoveFile(const std::wstring& path) override { unlink(Utf8FromWide(path).c_str()); }
};

} // namespace

IFileSystem& PlatformFileSystem()
{
    static PosixFileSystem fileSystem;
    return fileSystem;
}

std::wstring FoldPathCase(std::wstring path) { return path; }

void AppendPath(std::wstring& path, std::wstring_view name)
{
    if (!path.empty() && path.back() != L'/') path.push_back(L'/');
    path.append(name);
}
