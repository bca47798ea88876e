// The file-system work of unpacking, with Windows and POSIX implementations.
#pragma once

#include "base/FileError.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

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

    // The mark Windows gives a downloaded file (the text of its "Zone.Identifier" stream). A file
    // system that keeps no such marks reads none and keeps none.
    virtual std::string ReadZoneMark(const std::wstring& /*path*/) { return {}; }
    // False when the file could not be given the mark.
    virtual bool WriteZoneMark(const std::wstring& /*path*/, std::string_view /*mark*/) { return false; }
    // False when the file still has a mark afterwards.
    virtual bool RemoveZoneMark(const std::wstring& /*path*/) { return true; }
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
