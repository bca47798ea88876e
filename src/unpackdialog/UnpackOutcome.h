// How an unpack run of the window ended, and telling the user once the dialog is gone: the main
// window is given back the keyboard first, so that the message boxes answer to Enter and nothing
// typed after the run is lost.
#pragma once

#include "base/FileError.h"
#include "framework/FrameWindow.h"
#include "unpackdialog/UnpackFailures.h"

#include <optional>
#include <string>

struct UnpackOutcome {
    std::wstring destination;
    int written = 0;
    int skipped = 0;    // files that were there before and were kept, as the user asked
    bool cancelled = false;
    CUnpackFailures failures;
    std::optional<FileError> stoppedBy; // the destination itself could not be written
};

// One line for the status bar: how many files went where, and what did not.
std::wstring StatusText(const UnpackOutcome& outcome);

// Activates `frame` with the focus in `list`, puts the status text in its bar, then shows what failed.
void ShowUnpackOutcome(const UnpackOutcome& outcome, CFrameWindow* frame, HWND list);
