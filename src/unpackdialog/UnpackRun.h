// Copying the chosen rows of the contents list out of the open help file, one
// row at a time, with a progress window that can cancel between rows.
#pragma once

#include "engine/ChmEngine.h"
#include "framework/ListViewControl.h"
#include "unpackdialog/UnpackOutcome.h"

#include <string>
#include <vector>

struct UnpackRequest {
    std::wstring destination;
    // IDC_UNPACK_SELECTED or IDC_UNPACK_ALL.
    int fileChoice = 0;
    bool usePaths = true;
};

// The rows to unpack, in the order the list shows them.
std::vector<int> ChosenRows(CListViewControl list, int fileChoice);

// Whether a file that could not be written says the destination itself is unusable (gone, full,
// not writable), rather than something about the entry's own name or path (a folder of its name,
// a path too long, a name the file system refuses).
bool IsDestinationFailure(const FileError& error, const std::wstring& destination, IFileSystem& fileSystem);

// Makes the destination with its missing parents, then runs to the end, to a cancel (of the
// progress window or of the question before a file that was there is replaced), or to the first
// failure of the destination itself. Rows that cannot be read or whose own path cannot be written
// do not stop the run. Nothing is said here: the caller tells the outcome once the dialog is gone.
UnpackOutcome RunUnpack(HWND owner, CListViewControl list, CChmEngine& engine, const UnpackRequest& request);
