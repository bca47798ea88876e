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

// Little-endian fields and the container's encoded integers (7 bits a byte, high groups first),
// written apart from the component's own readers.
inline std::uint64_t LeAt(const std::vector<std::uint8_t>& b, std::size_t at, int n)
{
    std::uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}
inline void PutLeAt(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v, int n)
{
    for (int i = 0; i < n; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void AppendLe(std::vector<std::uint8_t>& b, std::uint64_t v, int n)
{
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void AppendEncodedInt(std::vector<std::uint8_t>& b, std::uint64_t v)
{
    int groups = 1;
    while (groups < 10 && v >> (7 * groups)) ++groups;
    while (groups-- > 0) b.push_back(static_cast<std::uint8_t>((v >> (7 * groups) & 0x7F) | (groups ? 0x80 : 0)));
}

// Only well-formed text is converted: test names and file-system names are known to be.
std::string Utf8(std::wstring_view wide);
std::wstring Wide(std::string_view utf8);
// A path as the tests print and compare it, with forward slashes.
std::string PathUtf8(const fs::path& path);
