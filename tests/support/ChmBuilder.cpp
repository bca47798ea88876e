#include "ChmBuilder.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

namespace {

constexpr std::size_t kItsfHeaderSize = 0x60;
constexpr std::size_t kHeaderSection0Size = 0x18;
constexpr std::size_t kItspHeaderSize = 0x54;
constexpr std::size_t kListingHeaderSize = 0x14;

void PutLe(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutEncoded(std::vector<std::uint8_t>& out, std::uint64_t value)
{
    std::vector<std::uint8_t> groups;
    do {
        groups.push_back(static_cast<std::uint8_t>(value & 0x7F));
        value >>= 7;
    } while (value != 0);
    for (std::size_t i = groups.size(); i-- > 0;) out.push_back(static_cast<std::uint8_t>(groups[i] | (i ? 0x80 : 0)));
}

void PutGuid(std::vector<std::uint8_t>& out, std::uint32_t first)
{
    PutLe(out, first, 4);
    PutLe(out, 0x11D0, 2);
    PutLe(out, 0x11D0, 2);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(0xA0 + i));
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
        std::vector<std::uint8_t> chunk;
        chunk.insert(chunk.end(), {'P', 'M', 'G', 'L'});
        PutLe(chunk, chunkSize - kListingHeaderSize - bodies[i].size(), 4);
        PutLe(chunk, 0, 4);
        PutLe(chunk, i == 0 ? 0xFFFFFFFFu : i - 1, 4);
        PutLe(chunk, i + 1 == bodies.size() ? 0xFFFFFFFFu : i + 1, 4);
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
        PutEncoded(record, entry.name.size());
        record.insert(record.end(), entry.name.begin(), entry.name.end());
        PutEncoded(record, 0);
        PutEncoded(record, entry.declaredOffset.value_or(content.size()));
        PutEncoded(record, entry.declaredLength.value_or(entry.content.size()));
        records.push_back(std::move(record));
        content += entry.content;
    }
    const auto chunks = ListingChunks(records, chunkSize);

    const std::uint64_t directoryOffset = kItsfHeaderSize + kHeaderSection0Size;
    const std::uint64_t directoryLength = kItspHeaderSize + chunks.size() * chunkSize;
    const std::uint64_t contentOffset = directoryOffset + directoryLength;
    const std::uint64_t fileSize = contentOffset + content.size();

    std::vector<std::uint8_t> out;
    out.insert(out.end(), {'I', 'T', 'S', 'F'});
    PutLe(out, 3, 4);
    PutLe(out, kItsfHeaderSize, 4);
    PutLe(out, 1, 4);
    PutLe(out, 0x12345678, 4);
    PutLe(out, 0x0804, 4);
    PutGuid(out, 0x7C01FD10);
    PutGuid(out, 0x7C01FD11);
    PutLe(out, kItsfHeaderSize, 8);
    PutLe(out, kHeaderSection0Size, 8);
    PutLe(out, directoryOffset, 8);
    PutLe(out, directoryLength, 8);
    PutLe(out, contentOffset, 8);

    PutLe(out, 0x01FE, 4);
    PutLe(out, 0, 4);
    PutLe(out, fileSize, 8);
    PutLe(out, 0, 8);

    out.insert(out.end(), {'I', 'T', 'S', 'P'});
    PutLe(out, 1, 4);
    PutLe(out, kItspHeaderSize, 4);
    PutLe(out, 0x0A, 4);
    PutLe(out, chunkSize, 4);
    PutLe(out, 2, 4);
    PutLe(out, 1, 4);
    PutLe(out, 0xFFFFFFFFu, 4);
    PutLe(out, 0, 4);
    PutLe(out, chunks.size() - 1, 4);
    PutLe(out, 0xFFFFFFFFu, 4);
    PutLe(out, chunks.size(), 4);
    PutLe(out, 0x0804, 4);
    PutGuid(out, 0x5D02926A);
    PutLe(out, kItspHeaderSize, 4);
    for (int i = 0; i < 3; ++i) PutLe(out, 0xFFFFFFFFu, 4);

    for (const auto& chunk : chunks) out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}
