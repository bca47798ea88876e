// What every test program shares: where the test data lives, whole files in and out, and name
// conversions written apart from the component's own, so that a fault there cannot hide itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

// The read-only sample help files, and the generated fixtures with their 7zz extractions.
fs::path CorpusDir();
fs::path FixturesDir();

std::vector<std::uint8_t> ReadFileBytes(const fs::path& path);
void WriteFileBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes);
// Regular files anywhere under `root`.
inline int FileCount(const fs::path& root)
{
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) count += entry.is_regular_file() ? 1 : 0;
    return count;
}
inline std::string ReadFileText(const fs::path& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Only well-formed text is converted: test names and file-system names are known to be.
std::string Utf8(std::wstring_view wide);
std::wstring Wide(std::string_view utf8);
// A path as the tests print and compare it, with forward slashes.
std::string PathUtf8(const fs::path& path);
