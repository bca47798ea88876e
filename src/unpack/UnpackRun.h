// Copying the chosen rows of the contents list out of the open help file, one
// row at a time, with a progress window that can cancel between rows.
#pragma once

#include "ChmEngine.h"
#include "ListViewControl.h"

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

// Runs to the end, to a cancel, or to the first target file that cannot be
// written, which is reported as the framework reports file errors. Rows whose
// stream cannot be read do not stop the run; they are named at its end.
void RunUnpack(HWND owner, CListViewControl list, CChmEngine& engine, const UnpackRequest& request);
