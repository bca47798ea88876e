// Everything a help file says about itself, gathered for a report: its "#SYSTEM" and "#WINDOWS",
// the container's facts, and a count of its streams. What `info` prints and what the engine's
// fuzz target gathers from hostile files.
#pragma once

#include "helpfile/Language.h"
#include "helpfile/SystemFile.h"
#include "helpfile/TextEncoding.h"
#include "helpfile/WindowsFile.h"
#include "storage/ITStorage.h"

#include <cstdint>
#include <optional>

namespace tarnwick::helpfile {

struct StreamCounts {
    std::uint64_t listedStreams = 0; // those the listing shows
    std::uint64_t listedBytes = 0;
    std::uint64_t internalStreams = 0; // "#" and "$" names at any depth, below them, and "::DataSpace/..."
    std::uint64_t internalBytes = 0;
    bool walkCut = false; // storages nested deeper than the walk goes were not counted
};

enum class InternalFileState { Missing, Damaged, Read };

struct HelpFileFacts {
    InternalFileState systemState = InternalFileState::Missing;
    std::optional<SystemFile> system;
    InternalFileState windowsState = InternalFileState::Missing;
    std::optional<WindowsFile> windows;
    std::optional<ArchiveFacts> archive; // none when the storage does not offer them
    StreamCounts streams;
    // Weighed on the texts of #SYSTEM and #STRINGS.
    TextEncoding encoding{kFallbackCodePage};

    // From #SYSTEM's LCID, else the ITSF header's.
    std::optional<std::uint32_t> Lcid() const;
    std::optional<Language> KnownLanguage() const;
    // The code page the file's language declares for its texts, or the fallback.
    unsigned CodePage() const;
    // The compressed section's size against the streams' total (without the container's own
    // "::DataSpace" streams, which hold the compressed bytes themselves); none when either is 0.
    std::optional<double> CompressionRatio() const;
};

// `chosenCodePage` is the user's: the file's texts are read in it, whatever they look like.
HelpFileFacts GatherFacts(IStorage* root, std::optional<unsigned> chosenCodePage = std::nullopt);

} // namespace tarnwick::helpfile
