#include "storage/ChmArchive.h"

#include "storage/Directory.h"
#include "storage/ItsfHeader.h"
#include "storage/LzxSection.h"

#include <algorithm>

namespace tarnwick::storage {
namespace {

constexpr const char* kControlDataName = "::DataSpace/Storage/MSCompressed/ControlData";
constexpr const char* kResetTableName =
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
constexpr const char* kCompressedContentName = "::DataSpace/Storage/MSCompressed/Content";

constexpr std::size_t kControlDataLimit = 4096;
// Eight bytes per 32 KiB frame: enough for sections of many gigabytes.
constexpr std::size_t kResetTableLimit = 16u << 20;

constexpr std::uint64_t kCompressedSection = 1;

} // namespace

std::shared_ptr<ChmArchive> ChmArchive::Open(std::unique_ptr<ByteSource> file)
{
    if (!file) return nullptr;
    const auto layout = ReadItsfLayout(*file);
    if (!layout) return nullptr;
    DirectoryTree::Builder tree(std::uint64_t{layout->chunkCount} * layout->chunkSize);
    std::vector<DirectoryEntry> internalEntries;
    bool anyEntry = false;
    ReadDirectory(*file, *layout, [&](const DirectoryEntry& entry) {
        anyEntry = true;
        if (entry.name.rfind("::", 0) == 0) internalEntries.push_back(entry);
        tree.Add(entry);
    });
    if (!anyEntry) return nullptr;
    return std::make_shared<ChmArchive>(std::move(file), tree.Finish(), std::move(internalEntries),
                                        layout->contentOffset);
}

ChmArchive::ChmArchive(std::unique_ptr<ByteSource> file, DirectoryTree tree,
                       std::vector<DirectoryEntry> internalEntries, std::uint64_t contentOffset)
    : m_file(std::move(file)), m_tree(std::move(tree)), m_uncompressed(*m_file, contentOffset),
      m_internalEntries(std::move(internalEntries))
{
}

ContentSection* ChmArchive::Section(std::uint64_t id)
{
    if (id == 0) return &m_uncompressed;
    if (id != kCompressedSection) return nullptr;
    if (!m_compressedTried) {
        m_compressedTried = true;
        m_compressed = OpenCompressedSection();
    }
    return m_compressed.get();
}

void ChmArchive::ExpectReads(std::span<const StreamPlace> places, unsigned threads)
{
    // Only the compressed section gains from it.
    std::vector<ByteRange> ranges;
    for (const StreamPlace& place : places)
        if (place.section == kCompressedSection) ranges.push_back({place.offset, place.length});
    if (ContentSection* section = ranges.empty() && !m_compressed ? nullptr : Section(kCompressedSection))
        section->ExpectReads(ranges, threads);
}

std::uint64_t ChmArchive::EndOfStreamsIn(std::uint64_t section) const
{
    std::uint64_t end = 0;
    for (std::uint32_t i = 0; i < m_tree.NodeCount(); ++i) {
        const TreeNode& node = m_tree.Node(i);
        if (m_tree.Kind(i) == NodeKind::Stream && node.section == section && node.length <= UINT64_MAX - node.offset)
            end = std::max(end, node.offset + node.length);
    }
    return end;
}

ULONG ChmArchive::SectionState()
{
    if (!FindInternal(kCompressedContentName)) return 0;
    const ContentSection* section = Section(kCompressedSection);
    return section ? section->State() : kSectionUnusable;
}

const DirectoryEntry* ChmArchive::FindInternal(const char* name) const
{
    for (const DirectoryEntry& entry : m_internalEntries)
        if (entry.name == name && entry.section == 0) return &entry;
    return nullptr;
}

std::optional<std::vector<std::uint8_t>> ChmArchive::ReadInternalStream(const char* name, std::size_t limit)
{
    const DirectoryEntry* entry = FindInternal(name);
    if (!entry || entry->length > limit) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(entry->length));
    const auto got = m_uncompressed.ReadAt(entry->offset, bytes);
    if (!got || *got != bytes.size()) return std::nullopt;
    return bytes;
}

std::unique_ptr<ContentSection> ChmArchive::OpenCompressedSection()
{
    auto controlData = ReadInternalStream(kControlDataName, kControlDataLimit);
    const DirectoryEntry* content = FindInternal(kCompressedContentName);
    if (!controlData || !content || content->offset > m_uncompressed.Size()) return nullptr;

    m_controlData = std::move(*controlData);
    // Without its reset table the section is still read, from its start.
    m_resetTable = ReadInternalStream(kResetTableName, kResetTableLimit).value_or(std::vector<std::uint8_t>{});
    LzxSectionLayout layout;
    layout.controlData = m_controlData;
    layout.resetTable = m_resetTable;
    layout.compressedOffset = m_uncompressed.Start() + content->offset;
    layout.compressedLength = content->length;
    layout.sizeWithoutTable = EndOfStreamsIn(kCompressedSection);
    return OpenLzxSection(*m_file, layout);
}

} // namespace tarnwick::storage
