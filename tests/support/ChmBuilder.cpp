#include "support/ChmBuilder.h"
#include "support/TestData.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr std::size_t kItsfHeaderSize = 0x60;
constexpr std::size_t kHeaderSection0Size = 0x18;
constexpr std::size_t kItspHeaderSize = 0x54;
constexpr std::size_t kListingHeaderSize = 0x14;

// Little-endian fields of 4 bytes each, or 8 where marked so.
struct Field {
    std::uint64_t value;
    int bytes = 4;
};

void PutFields(std::vector<std::uint8_t>& out, std::initializer_list<Field> fields)
{
    for (const Field& field : fields) AppendLe(out, field.value, field.bytes);
}

void PutGuid(std::vector<std::uint8_t>& out, std::uint32_t first)
{
    PutFields(out, {{first}, {0x11D0, 2}, {0x11D0, 2}, {0xA7A6A5A4A3A2A1A0ull, 8}});
}

std::string Folded(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::vector<std::vector<std::uint8_t>> ListingChunks(const std::vector<std::vector<std::uint8_t>>& records,
                                                     std::uint32_t chunkSize)
{
    std::vector<std::vector<std::uint8_t>> bodies(1);
    for (const auto& record : records) {
        if (record.size() + kListingHeaderSize + 2 > chunkSize) throw std::invalid_argument("entry too large");
        if (bodies.back().size() + record.size() + kListingHeaderSize + 2 > chunkSize) bodies.emplace_back();
        bodies.back().insert(bodies.back().end(), record.begin(), record.end());
    }
    std::vector<std::vector<std::uint8_t>> chunks;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        std::vector<std::uint8_t> chunk{'P', 'M', 'G', 'L'};
        PutFields(chunk, {{chunkSize - kListingHeaderSize - bodies[i].size()}, {0}, {i == 0 ? 0xFFFFFFFFu : i - 1},
                          {i + 1 == bodies.size() ? 0xFFFFFFFFu : i + 1}});
        chunk.insert(chunk.end(), bodies[i].begin(), bodies[i].end());
        chunk.resize(chunkSize, 0);
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

} // namespace

std::vector<std::uint8_t> BuildChm(const std::vector<BuiltEntry>& entries, std::uint32_t chunkSize)
{
    std::vector<BuiltEntry> sorted = entries;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const BuiltEntry& a, const BuiltEntry& b) { return Folded(a.name) < Folded(b.name); });

    std::string content;
    std::vector<std::vector<std::uint8_t>> records;
    for (const BuiltEntry& entry : sorted) {
        std::vector<std::uint8_t> record;
        AppendEncodedInt(record, entry.name.size());
        record.insert(record.end(), entry.name.begin(), entry.name.end());
        AppendEncodedInt(record, 0);
        AppendEncodedInt(record, entry.declaredOffset.value_or(content.size()));
        AppendEncodedInt(record, entry.declaredLength.value_or(entry.content.size()));
        records.push_back(std::move(record));
        content += entry.content;
    }
    const auto chunks = ListingChunks(records, chunkSize);

    const std::uint64_t directoryOffset = kItsfHeaderSize + kHeaderSection0Size;
    const std::uint64_t directoryLength = kItspHeaderSize + chunks.size() * chunkSize;
    const std::uint64_t contentOffset = directoryOffset + directoryLength;
    const std::uint64_t fileSize = contentOffset + content.size();

    std::vector<std::uint8_t> out{'I', 'T', 'S', 'F'};
    PutFields(out, {{3}, {kItsfHeaderSize}, {1}, {0x12345678}, {0x0804}});
    PutGuid(out, 0x7C01FD10);
    PutGuid(out, 0x7C01FD11);
    PutFields(out, {{kItsfHeaderSize, 8}, {kHeaderSection0Size, 8}, {directoryOffset, 8}, {directoryLength, 8},
                    {contentOffset, 8}, {0x01FE}, {0}, {fileSize, 8}, {0, 8}});
    out.insert(out.end(), {'I', 'T', 'S', 'P'});
    // Version, header length, an unknown, chunk size, density, depth, root index chunk, first and
    // last listing chunk, an unknown, chunk count, language.
    PutFields(out, {{1}, {kItspHeaderSize}, {0x0A}, {chunkSize}, {2}, {1}, {0xFFFFFFFFu}, {0}, {chunks.size() - 1},
                    {0xFFFFFFFFu}, {chunks.size()}, {0x0804}});
    PutGuid(out, 0x5D02926A);
    PutFields(out, {{kItspHeaderSize}, {0xFFFFFFFFu}, {0xFFFFFFFFu}, {0xFFFFFFFFu}});

    for (const auto& chunk : chunks) out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

std::vector<BuiltEntry> FolderEntries(const std::filesystem::path& folder, const std::set<std::string>& leftOut)
{
    std::vector<BuiltEntry> entries;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        // UTF-8 also on Windows, where the narrow form would be the ANSI code page's.
        const std::u8string relative = item.path().lexically_relative(folder).generic_u8string();
        const std::string name = "/" + std::string(relative.begin(), relative.end());
        if (leftOut.count(name.substr(1))) continue;
        if (item.is_directory()) {
            entries.emplace_back(name + "/");
            continue;
        }
        std::ifstream file(item.path(), std::ios::binary);
        entries.emplace_back(name, std::string(std::istreambuf_iterator<char>(file), {}));
    }
    return entries;
}
