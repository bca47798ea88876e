#include "engine/FileSystem.h"

#include <windows.h>

#include <algorithm>

namespace {

// CreateDirectoryW stops short of MAX_PATH (it leaves room for an 8.3 name).
constexpr std::size_t kLongPathThreshold = MAX_PATH - 12;

bool Fail(FileError& error, DWORD code)
{
    error.cause = FileErrorCauseOf(code);
    error.systemError = code;
    return false;
}

// Paths past MAX_PATH reach the file system only in the \\?\ form, which must
// be absolute and free of "." and ".." parts.
std::wstring SystemPath(const std::wstring& path)
{
    if (path.size() < kLongPathThreshold || path.rfind(L"\\\\?\\", 0) == 0) return path;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// NTFS keeps the mark as a named stream of the file; a file system without named streams (FAT)
// fails to open it, which reads as no mark.
std::wstring ZoneMarkStream(const std::wstring& path) { return SystemPath(path) + L":Zone.Identifier"; }

// A real mark is a few lines; more than this is not copied around.
constexpr DWORD kLongestZoneMark = 64 * 1024;

class WindowsOutputFile final : public IOutputFile {
public:
    explicit WindowsOutputFile(HANDLE file) : m_file(file) {}
    ~WindowsOutputFile() override
    {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    }
    WindowsOutputFile(const WindowsOutputFile&) = delete;
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    WindowsOutputFile& operator=(const WindowsOutputFile&) = delete;

    bool Write(std::span<const std::uint8_t> bytes, FileError& error) override
    {
        while (!bytes.empty()) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            if (!WriteFile(m_file, bytes.data(), chunk, &written, nullptr)) return Fail(error, GetLastError());
            // A short write without an error is how a full disk shows.
            if (written == 0) return Fail(error, ERROR_DISK_FULL);
            bytes = bytes.subspan(written);
        }
        return true;
    }

    bool Close(FileError& error) override
    {
        const BOOL closed = CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        return closed || Fail(error, GetLastError());
    }

private:
    HANDLE m_file;
};

class WindowsFileSystem final : public IFileSystem {
public:
    bool DirectoryExists(const std::wstring& path) override
    {
        const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool FileExists(const std::wstring& path) override
    {
        const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    void MakeDirectory(const std::wstring& path) override { CreateDirectoryW(SystemPath(path).c_str(), nullptr); }

    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override
    {
        HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Fail(error, GetLastError());
            return nullptr;
        }
        return std::make_unique<WindowsOutputFile>(file);
    }

    void RemoveFile(const std::wstring& path) override { DeleteFileW(SystemPath(path).c_str()); }

    std::string ReadZoneMark(const std::wstring& path) override
    {
        HANDLE stream = CreateFileW(ZoneMarkStream(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        if (stream == INVALID_HANDLE_VALUE) return {};
        std::string mark(kLongestZoneMark, '\0');
        DWORD got = 0;
        const BOOL read = ReadFile(stream, mark.data(), kLongestZoneMark, &got, nullptr);
        CloseHandle(stream);
        mark.resize(read ? got : 0);
        return mark;
    }

    bool WriteZoneMark(const std::wstring& path, std::string_view mark) override
    {
        WindowsOutputFile stream(CreateFileW(ZoneMarkStream(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        FileError ignored;
        return stream.IsOpen() && stream.Write({reinterpret_cast<const std::uint8_t*>(mark.data()), mark.size()}, ignored) &&
               stream.Close(ignored);
    }

    bool RemoveZoneMark(const std::wstring& path) override
    {
        return DeleteFileW(ZoneMarkStream(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
};

} // namespace

IFileSystem& PlatformFileSystem()
{
    static WindowsFileSystem fileSystem;
    return fileSystem;
}

std::wstring FoldPathCase(std::wstring path)
{
    if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

void AppendPath(std::wstring& path, std::wstring_view name)
{
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path.push_back(L'\\');
    path.append(name);
}
