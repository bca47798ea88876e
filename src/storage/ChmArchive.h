// An opened help file: its directory tree and its content sections. Shared by
// every storage, stream and enumerator obtained from it, and closed with the last.
#pragma once

#include "storage/ByteSource.h"
#include "storage/ContentSection.h"
#include "storage/DirectoryTree.h"
#include "storage/ITStorage.h"
#include "storage/UncompressedSection.h"

#include <memory>
#include <optional>

namespace tarnwick::storage {

class ChmArchive {
public:
    // Null when the file is not a help file or its directory cannot be read.
    static std::shared_ptr<ChmArchive> Open(std::unique_ptr<ByteSource> file);

    const DirectoryTree& Tree() const { return m_tree; }

    // Null when the section is unknown or its compression data is unusable; the
    // compressed section is set up at its first use, so listing never pays for it.
    ContentSection* Section(std::uint64_t id);

    // Tells each section which of its ranges `places` will read, in this order.
    void ExpectReads(std::span<const StreamPlace> places, unsigned threads);

    // What the headers and the compressed section's own streams say (ArchiveFacts.cpp).
    ArchiveFacts Facts();
    // Why the last failed open or read of a stream failed: set by the streams and storages.
    DamageReport LastDamage() const { return m_lastDamage; }
    void SetLastDamage(DamageReport damage) { m_lastDamage = damage; }
    // The kSection... bits of the compressed section; opens it if need be.
    ULONG SectionState();

    ChmArchive(std::unique_ptr<ByteSource> file, DirectoryTree tree, std::vector<DirectoryEntry> internalEntries,
               std::uint64_t contentOffset);

private:
    std::unique_ptr<ContentSection> OpenCompressedSection();
    std::optional<std::vector<std::uint8_t>> ReadInternalStream(const char* name, std::size_t limit);
    const DirectoryEntry* FindInternal(const char* name) const;
    std::uint64_t EndOfStreamsIn(std::uint64_t section) const;

    std::unique_ptr<ByteSource> m_file;
    DirectoryTree m_tree;
    UncompressedSection m_uncompressed;
    std::vector<DirectoryEntry> m_internalEntries;
    std::vector<std::uint8_t> m_controlData;
    std::vector<std::uint8_t> m_resetTable;
    std::unique_ptr<ContentSection> m_compressed;
    bool m_compressedTried = false;
    DamageReport m_lastDamage;
};

} // namespace tarnwick::storage
