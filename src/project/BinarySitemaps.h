// The contents and index files rebuilt from the binary forms a help compiler keeps of them, for the
// project writer and for export's navigation alike.
#pragma once

#include "helpfile/TextEncoding.h"
#include "helpfile/TopicTable.h"
#include "project/ProjectFile.h"
#include "project/RecoveryReport.h"
#include "storage/ITStorage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnwick::project {

inline constexpr wchar_t kBinaryContentsPath[] = L"#TOCIDX";
inline constexpr wchar_t kBinaryIndexPath[] = L"$WWKeywordLinks/BTree";
// The binary contents and index of the largest help files are a few megabytes.
inline constexpr std::size_t kBinaryFileLimit = 64u << 20;

// The whole internal file, or no bytes when it is missing or past kBinaryFileLimit.
std::vector<std::uint8_t> ReadBinaryFileOrEmpty(IStorage* root, std::wstring_view path);

// The files through which the binary contents and index name their pages, read once for both.
struct TopicBytes {
    std::vector<std::uint8_t> topics, urlTable, urlStrings, strings;

    explicit TopicBytes(IStorage* root);
    helpfile::TopicFiles View() const { return {topics, urlTable, urlStrings, strings}; }
};

// "#TOCIDX" as a .hhc text; what could not be read goes to `report`.
std::string RebuildContents(std::span<const std::uint8_t> tocIndex, const TopicBytes& topics, const NameWriter& writtenName,
                            RecoveryReport& report);

// "$WWKeywordLinks/BTree" as a .hhk text, its keywords in `keywordCodePage` when given, else in the
// code page the index was made for, else in the declared one.
std::string RebuildIndex(std::span<const std::uint8_t> btree, const TopicBytes& topics, const NameWriter& writtenName,
                         const helpfile::TextEncoding& encoding, std::optional<unsigned> keywordCodePage,
                         RecoveryReport& report);

} // namespace tarnwick::project
