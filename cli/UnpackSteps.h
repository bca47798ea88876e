// The steps of the unpack command that the project command takes too: opening the file into rows,
// and unpacking the rows.
#pragma once

#include "ChmEngine.h"
#include "DecodeAhead.h"
#include "ListControl.h"
#include "UnpackList.h"

#include <string>

struct UnpackOptions {
    bool flat = false;
    unsigned threads = tarnwick::storage::HardwareThreads();
};

void ReportError(const std::wstring& message);

// Opens and walks the file the way the window does; false (and said) when it cannot be opened.
bool LoadRows(CChmEngine& engine, const std::wstring& file, IListControl& rows);

// Unpacks every row into `destination`; the exit code of the unpack command.
int UnpackRows(CChmEngine& engine, const CUnpackList& rows, const std::wstring& destination, const UnpackOptions& options);
