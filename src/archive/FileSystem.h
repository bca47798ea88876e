// The file-system work of unpacking, with Windows and POSIX implementations.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// Why a target file could not be written, in the framework's terms so that the
// window can show its usual message for each.
enum class FileErrorCause {
    None,
    Generic,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    DirectoryFull,
    HardIO,
    SharingViolation,
    DiskFull,
};

struct FileError {
    FileErrorCause cause = FileErrorCause::None;
    std::uint32_t systemError = 0;
    std::wstring path;
};

class IOutputFile {
public:
    virtual ~IOutputFile() = default;
    virtual bool Write(std::span<const std::uint8_t> bytes, FileError& error) = 0;
    virtual bool Close(FileError& error) = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    virtual bool DirectoryExists(const std::wstring& path) = 0;
    virtual void MakeDirectory(const std::wstring& path) = 0;
    // Creates or truncates, for writing only, shared with nobody.
    virtual std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) = 0;
    virtual void RemoveFile(const std::wstring& path) = 0;
    // Lets go of whatever the file system keeps open of folders it wrote into: the folders may be
    // removed or replaced before it writes again.
    virtual void ForgetFolders() {}
};

#ifdef _WIN32
// The cause that a Windows error code stands for.
FileErrorCause FileErrorCauseOf(std::uint32_t systemError);
#endif

// The file system of the platform the program runs on.
IFileSystem& PlatformFileSystem();

// The path as the platform's file system compares names: upper-cased on Windows, unchanged elsewhere.
std::wstring FoldPathCase(std::wstring path);

// Appends one name to a path with the platform's separator.
void AppendPath(std::wstring& path, std::wstring_view name);

// Makes the folder and every missing folder above it, as 7-Zip does for its target. True when the
// folder exists afterwards.
bool MakeDirectories(IFileSystem& fileSystem, const std::wstring& path);
