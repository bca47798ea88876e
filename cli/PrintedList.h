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
    // Streams come folder by folder, and most of a folder's have one type: each such text is
    // converted once per run of streams that share it.
    struct ConvertedText {
        std::wstring wide;
        std::string utf8;
    };
    void AppendConverted(ConvertedText& converted, const std::wstring& text);

    std::string m_output; // UTF-8, as it is written
    ConvertedText m_type;
    ConvertedText m_folder;
};
