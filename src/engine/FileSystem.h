// The file-system work of unpacking, with Windows and POSIX implementations.
#pragma once

#include "base/FileError.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

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
    // Something other than a folder is there: a file, or what a file would replace.
    virtual bool FileExists(const std::wstring& path) = 0;
    virtual void MakeDirectory(const std::wstring& path) = 0;
    // Creates or truncates, for writing only, shared with nobody.
    virtual std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) = 0;
    virtual void RemoveFile(const std::wstring& path) = 0;
    // Lets go of whatever the file system keeps open of folders it wrote into: the folders may be
    // removed or replaced before it writes again.
    virtual void ForgetFolders() {}
};

// The file system of the platform the program runs on.
IFileSystem& PlatformFileSystem();

// The path as the platform's file system compares names: upper-cased on Windows, unchanged elsewhere.
std::wstring FoldPathCase(std::wstring path);

// Appends one name to a path with the platform's separator.
void AppendPath(std::wstring& path, std::wstring_view name);

// Makes the folder and every missing folder above it, as 7-Zip does for its target. True when the
// folder exists afterwards.
bool MakeDirectories(IFileSystem& fileSystem, const std::wstring& path);
