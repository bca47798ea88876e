// The steps the commands share: opening the file (every command), and unpacking its entries
// (unpack and project).
#pragma once

#include "base/HardwareThreads.h"
#include "cli/ProgressBar.h"
#include "engine/ChmEngine.h"
#include "engine/UnpackPipeline.h"
#include "helpfile/EntryTable.h"

#include <string>

struct UnpackOptions {
    bool flat = false;
    unsigned threads = tarnwick::HardwareThreads();
};

void ReportError(const std::wstring& message);

// The file's name without its folder and its last extension: "help" of "/x/help.chm".
std::wstring Stem(const std::wstring& file);

// The progress bar of a run over a table, naming each entry as it starts.
class ProgressShown final : public UnpackObserver {
public:
    explicit ProgressShown(const tarnwick::helpfile::EntryTable& entries);
    bool Starting(std::size_t done, std::size_t index) override;

private:
    const tarnwick::helpfile::EntryTable& m_entries;
    CProgressBar m_bar;
};

// Opens the file in the engine; false (and said) when it cannot be opened.
bool OpenHelpFile(CChmEngine& engine, const std::wstring& file);

// Unpacks every entry into `destination`; the exit code of the unpack command.
int UnpackTable(CChmEngine& engine, const tarnwick::helpfile::EntryTable& entries, const std::wstring& destination,
                const UnpackOptions& options);
