// The steps the commands share: opening the file (every command), and unpacking its entries
// (unpack and project).
#pragma once

#include "base/HardwareThreads.h"
#include "engine/ChmEngine.h"
#include "helpfile/EntryTable.h"

#include <string>

struct UnpackOptions {
    bool flat = false;
    unsigned threads = tarnwick::HardwareThreads();
};

void ReportError(const std::wstring& message);

// Opens the file in the engine; false (and said) when it cannot be opened.
bool OpenHelpFile(CChmEngine& engine, const std::wstring& file);

// Unpacks every entry into `destination`; the exit code of the unpack command.
int UnpackTable(CChmEngine& engine, const tarnwick::helpfile::EntryTable& entries, const std::wstring& destination,
                const UnpackOptions& options);
