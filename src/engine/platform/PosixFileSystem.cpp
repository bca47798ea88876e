#include "engine/FileSystem.h"

#include "base/Utf8.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <utility>

using tarnwick::FileNameFromWide;

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

// ntfs-3g shows a file's named streams as extended attributes of this form, so a help file on a
// Windows disk keeps its mark here; elsewhere the attribute is simply missing.
constexpr const char* kZoneMarkAttribute = "user.Zone.Identifier";
// A real mark is a few lines; more than this is not copied around.
constexpr std::size_t kLongestZoneMark = 64 * 1024;

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

// A descriptor, closed with its owner.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd()
    {
        if (m_fd >= 0) close(m_fd);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            if (m_fd >= 0) close(m_fd);
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    int Get() const { return m_fd; }

private:
    int m_fd = -1;
};

class PosixFileSystem final : public IFileSystem {
public:
    bool DirectoryExists(const std::wstring& path) override
    {
        struct stat info {};
        return stat(FileNameFromWide(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    bool FileExists(const std::wstring& path) override
    {
        // A dangling symbolic link counts: creating the file would meet it.
        struct stat info {};
        return lstat(FileNameFromWide(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
    }

    void MakeDirectory(const std::wstring& path) override { mkdir(FileNameFromWide(path).c_str(), 0777); }

    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override
    {
        // Not following a link keeps an existing symbolic link from sending the
        // content somewhere outside the target folder.
        constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW;
        const std::string whole = FileNameFromWide(path);
        const std::size_t slash = whole.rfind('/');
        const int folder = slash == std::string::npos || slash == 0 ? -1 : FolderOf(std::string_view(whole).substr(0, slash));
        const int fd = folder >= 0 ? openat(folder, whole.c_str() + slash + 1, kFlags, 0666) : open(whole.c_str(), kFlags, 0666);
        if (fd < 0) {
            Fail(error, errno);
            return nullptr;
        }
        return std::make_unique<PosixOutputFile>(fd);
    }

    void RemoveFile(const std::wstring& path) override { unlink(FileNameFromWide(path).c_str()); }

    std::string ReadZoneMark(const std::wstring& path) override
    {
        std::string mark(kLongestZoneMark, '\0');
        const ssize_t got = getxattr(FileNameFromWide(path).c_str(), kZoneMarkAttribute, mark.data(), mark.size());
        mark.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return mark;
    }

    bool WriteZoneMark(const std::wstring& path, std::string_view mark) override
    {
        return setxattr(FileNameFromWide(path).c_str(), kZoneMarkAttribute, mark.data(), mark.size(), 0) == 0;
    }

    bool RemoveZoneMark(const std::wstring& path) override
    {
        return removexattr(FileNameFromWide(path).c_str(), kZoneMarkAttribute) == 0 || errno == ENODATA;
    }

    void ForgetFolders() override
    {
        m_folder = {};
        m_folderPath.clear();
    }

private:
    // Files are created relative to their folder, kept open while files go into it one after
    // another, which spares the kernel walking the whole path again for each. -1 when the folder
    // cannot be opened: the path is used then, and says why it fails.
    int FolderOf(std::string_view folderPath)
    {
        if (m_folder.Get() < 0 || folderPath != m_folderPath) {
            m_folderPath.assign(folderPath);
            m_folder = UniqueFd(open(m_folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        }
        return m_folder.Get();
    }

    UniqueFd m_folder;
    std::string m_folderPath;
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
