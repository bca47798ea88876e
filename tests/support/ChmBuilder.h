// Writes small help files with uncompressed content, for tests that need names,
// sizes or layouts that no help compiler would produce.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct BuiltEntry {
    BuiltEntry(std::string entryName, std::string entryContent = {},
               std::optional<std::uint64_t> length = std::nullopt, std::optional<std::uint64_t> offset = std::nullopt)
        : name(std::move(entryName)), content(std::move(entryContent)), declaredLength(length), declaredOffset(offset)
    {
    }

    std::string name;                            // UTF-8 directory name, e.g. "/sub/a.htm" or "/sub/"
    std::string content;                         // stored in section 0
    std::optional<std::uint64_t> declaredLength; // overrides the length the directory gives
    std::optional<std::uint64_t> declaredOffset; // overrides the offset the directory gives
};

// The bytes of a version 3 help file holding `entries` in one or more listing chunks.
std::vector<std::uint8_t> BuildChm(const std::vector<BuiltEntry>& entries, std::uint32_t chunkSize = 4096);

// Every file and folder under `folder` as entries, but for the paths in `leftOut` ("a/b.htm"): how a
// 7zz extraction is packed again without some of its files.
std::vector<BuiltEntry> FolderEntries(const std::filesystem::path& folder, const std::set<std::string>& leftOut = {});
