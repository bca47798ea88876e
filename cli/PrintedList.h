// Streams written to standard output as the walk meets them, one line each: name, size, type and
// internal path separated by tabs.
#pragma once

#include "helpfile/EntryTable.h"

#include <string>

class CPrintedList {
public:
    void Write(const tarnwick::helpfile::WalkedStream& stream, const std::wstring& type);
    // Writes out whatever is still buffered.
    void Finish();

private:
    std::string m_output; // UTF-8, as it is written
};
