// Writes the fuzz targets' seeds that cannot simply be copied:
//
//   make_fuzz_seeds lzx FOLDER FILE.chm...   the compressed section of each help file, cut into the
//                                            LZX target's input form: the frames from its first reset
//                                            point and from its second, at most eight of each
//   make_fuzz_seeds names FILE.chm           a help file whose names try every way out of the target
//                                            folder, for the engine target
//   make_fuzz_seeds contents FILE.chm        a help file with its contents and index only in binary
//                                            form, context numbers and options, for the project target
#include "base/LittleEndian.h"
#include "base/Utf8.h"
#include "storage/Directory.h"
#include "storage/ItsfHeader.h"
#include "storage/UncompressedSection.h"
#include "support/ChmBuilder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tarnwick;
using namespace tarnwick::storage;

constexpr std::uint64_t kFrameSize = 0x8000;
constexpr std::uint64_t kMostFrames = 8;

void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

struct Section {
    std::vector<std::uint8_t> control, resetTable, content;
};

std::optional<std::vector<std::uint8_t>> ReadEntry(const std::vector<DirectoryEntry>& entries,
                                                   UncompressedSection& section, const std::string& name)
{
    for (const DirectoryEntry& entry : entries) {
        if (entry.name != name || entry.section != 0 || entry.length > section.Size()) continue;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(entry.length));
        const auto got = section.ReadAt(entry.offset, bytes);
        if (got && *got == bytes.size()) return bytes;
    }
    return std::nullopt;
}

std::optional<Section> ReadSection(const std::string& path)
{
    const auto file = OpenFileSource(WideFromFileName(path).c_str());
    const auto layout = file ? ReadItsfLayout(*file) : std::nullopt;
    if (!layout) return std::nullopt;
    std::vector<DirectoryEntry> entries;
    ReadDirectory(*file, *layout, [&](const DirectoryEntry& entry) { entries.push_back(entry); });
    UncompressedSection section(*file, layout->contentOffset);
    const std::string storage = "::DataSpace/Storage/MSCompressed/";
    auto control = ReadEntry(entries, section, storage + "ControlData");
    auto reset = ReadEntry(entries, section,
                           storage + "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");
    auto content = ReadEntry(entries, section, storage + "Content");
    if (!control || !reset || !content || control->size() < 20 || reset->size() < 40) return std::nullopt;
    return Section{std::move(*control), std::move(*reset), std::move(*content)};
}

unsigned WindowBits(std::uint64_t windowFrames)
{
    unsigned bits = 15;
    while ((kFrameSize << (bits - 15)) < windowFrames * kFrameSize) ++bits;
    return bits;
}

// One input of the LZX target: the frames [first, first + count) of the section.
std::vector<std::uint8_t> LzxInput(const Section& section, std::uint64_t first, std::uint64_t count)
{
    const std::uint64_t resetFrames = ReadLe32(section.control, 12);
    const std::uint64_t uncompressed = ReadLe64(section.resetTable, 16);
    const std::uint32_t tableStart = ReadLe32(section.resetTable, 12);
    const auto frameStart = [&](std::uint64_t index) {
        const std::size_t at = tableStart + static_cast<std::size_t>(index) * 8;
        return at + 8 <= section.resetTable.size() ? std::min<std::uint64_t>(ReadLe64(section.resetTable, at),
                                                                             section.content.size())
                                                   : section.content.size();
    };
    const std::uint64_t lastSize = std::min(kFrameSize, uncompressed - (first + count - 1) * kFrameSize);

    std::vector<std::uint8_t> input{static_cast<std::uint8_t>(WindowBits(ReadLe32(section.control, 16)) - 15),
                                    static_cast<std::uint8_t>(std::min<std::uint64_t>(resetFrames, 4) - 1),
                                    static_cast<std::uint8_t>(count - 1), static_cast<std::uint8_t>(lastSize - 1),
                                    static_cast<std::uint8_t>((lastSize - 1) >> 8)};
    std::vector<std::uint8_t> frames;
    for (std::uint64_t i = first; i < first + count; ++i) {
        const std::uint64_t begin = frameStart(i);
        const std::uint64_t length = std::min<std::uint64_t>(frameStart(i + 1) - begin, 0xFFFF);
        input.push_back(static_cast<std::uint8_t>(length));
        input.push_back(static_cast<std::uint8_t>(length >> 8));
        frames.insert(frames.end(), section.content.begin() + static_cast<std::ptrdiff_t>(begin),
                      section.content.begin() + static_cast<std::ptrdiff_t>(begin + length));
    }
    input.insert(input.end(), frames.begin(), frames.end());
    return input;
}

int MakeLzxSeeds(const std::filesystem::path& folder, int count, char** files)
{
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const auto section = ReadSection(files[i]);
        if (!section) {
            std::fprintf(stderr, "make_fuzz_seeds: no compressed section in %s\n", files[i]);
            return 1;
        }
        const std::uint64_t resetFrames = std::max<std::uint64_t>(ReadLe32(section->control, 12), 1);
        const std::uint64_t frames = (ReadLe64(section->resetTable, 16) + kFrameSize - 1) / kFrameSize;
        const std::string stem = std::filesystem::path(files[i]).stem().string();
        for (const std::uint64_t first : {std::uint64_t{0}, resetFrames}) {
            if (first >= frames) break;
            const auto input = LzxInput(*section, first, std::min(kMostFrames, frames - first));
            WriteFileBytes(folder / (stem + "-" + std::to_string(first) + ".lzx"), input);
        }
    }
    return 0;
}

void MakeNamesSeed(const std::string& path)
{
    WriteFileBytes(path, BuildChm({
                             {"/../escape.htm", "1"},
                             {"/..\\..\\up.htm", "2"},
                             {"/./dot/", ""},
                             {"/a:b/CON", "3"},
                             {"/nul.txt", "4"},
                             {"/trail. ", "5"},
                             {"/q?*|<>\".htm", "6"},
                             {"/%41.htm", "7"},
                             {"/C:/drive.htm", "8"},
                             {"/clash", "9"},
                             {"/clash/inner.htm", "10"},
                             {"/deep/er/still/x.htm", "11"},
                             {"/#hidden", "12"},
                         }));
}

// Little-endian fields and NUL-ended texts, appended.
struct Bytes {
    std::string text;
    Bytes& U16(std::uint16_t v) { return Byte(v).Byte(v >> 8); }
    Bytes& U32(std::uint32_t v) { return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16)); }
    Bytes& Text(const std::string& t) { text += t; text += '\0'; return *this; }
    Bytes& Wide(const std::string& ascii) { for (const char c : ascii) U16(static_cast<std::uint8_t>(c)); return U16(0); }
    Bytes& Byte(unsigned v) { text += static_cast<char>(v & 0xFF); return *this; }
    Bytes& Pad(std::size_t size) { text.resize(size, '\0'); return *this; }
};

void MakeContentsSeed(const std::string& path)
{
    // Texts: "Alpha" at 1, "Book" at 7; the file "a.htm" at 9 of #URLSTR, whose topic is 0.
    const std::string strings = Bytes().Byte(0).Text("Alpha").Text("Book").Text("a.htm").text;
    const std::string urlStrings = Bytes().Byte(0).U32(0).U32(0).Text("a.htm").text;
    const std::string urlTable = Bytes().U32(0).U32(0).U32(1).text;
    const std::string topics = Bytes().U32(0x10).U32(1).U32(0).U32(2).text;
    // A book with a page, its sibling a heading by name, and its child.
    const std::string toc = Bytes().U32(0x10).Pad(0x10)
                                .U32(0).U32(0xC).U32(0).U32(0).U32(0x2C).U32(0x40).U32(0)
                                .U32(0).U32(0).U32(7).U32(0).U32(0)
                                .U32(0).U32(8).U32(0).U32(0x10).U32(0).text;
    Bytes block;
    block.U16(0).U16(3).U32(0xFFFFFFFF).U32(0xFFFFFFFF);
    block.Wide("apple").U16(0).U16(0).U32(0).U32(0).U32(1).U32(0).U32(1).U32(0);
    block.Wide("apple, a").U16(0).U16(1).U32(7).U32(0).U32(1).U32(0).U32(1).U32(1);
    block.Wide("see").U16(2).U16(0).U32(0).U32(0).U32(1).Wide("apple").U32(1).U32(2);
    Bytes btree;
    btree.U16(0x293B).U16(2).U16(0x800).Pad(0x30).U32(1252).Pad(0x4C);
    btree.text += block.Pad(0x800).text;
    const std::string ivb = Bytes().U32(8).U32(1).U32(12).text;
    Bytes system;
    system.U32(3).U16(0).U16(8).Text("toc.hhc").U16(1).U16(8).Text("idx.hhk").U16(2).U16(6).Text("a.htm");
    system.U16(3).U16(2).Text("T").U16(4).U16(28).U32(0x409);
    system.Pad(system.text.size() + 24); // the switches and the time of compiling
    WriteFileBytes(path, BuildChm({
                             {"/#STRINGS", strings},
                             {"/#URLSTR", urlStrings},
                             {"/#URLTBL", urlTable},
                             {"/#TOPICS", topics},
                             {"/#TOCIDX", toc},
                             {"/$WWKeywordLinks/", ""},
                             {"/$WWKeywordLinks/BTree", btree.text},
                             {"/#IVB", ivb},
                             {"/#SYSTEM", system.text},
                             {"/a.htm", "x"},
                         }));
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "lzx" && argc >= 4) return MakeLzxSeeds(argv[2], argc - 3, argv + 3);
    if (mode == "names" && argc == 3) {
        MakeNamesSeed(argv[2]);
        return 0;
    }
    if (mode == "contents" && argc == 3) {
        MakeContentsSeed(argv[2]);
        return 0;
    }
    std::fprintf(stderr, "usage: make_fuzz_seeds lzx FOLDER FILE.chm... | names FILE.chm | contents FILE.chm\n");
    return 2;
}
