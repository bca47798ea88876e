// The platform's file system with zone marks kept in memory: under Wine no help file carries a
// mark as Windows gives it, so the marks a program reads, copies and removes are watched here.
#pragma once

#include "engine/FileSystem.h"

#include <map>
#include <string>

class ZoneMarkingFileSystem final : public IFileSystem {
public:
    bool DirectoryExists(const std::wstring& path) override { return PlatformFileSystem().DirectoryExists(path); }
    bool FileExists(const std::wstring& path) override { return PlatformFileSystem().FileExists(path); }
    void MakeDirectory(const std::wstring& path) override { PlatformFileSystem().MakeDirectory(path); }
    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override
    {
        return PlatformFileSystem().CreateAlways(path, error);
    }
    void RemoveFile(const std::wstring& path) override { PlatformFileSystem().RemoveFile(path); }

    std::string ReadZoneMark(const std::wstring& path) override
    {
        const auto mark = marks.find(path);
        return mark == marks.end() ? std::string() : mark->second;
    }
    bool WriteZoneMark(const std::wstring& path, std::string_view mark) override
    {
        marks[path] = mark;
        return true;
    }
    bool RemoveZoneMark(const std::wstring& path) override
    {
        if (!removable) return false;
        marks.erase(path);
        return true;
    }

    std::map<std::wstring, std::string> marks;
    bool removable = true;
};

inline constexpr const char* kInternetZoneMark = "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://example.com/help.chm\r\n";
