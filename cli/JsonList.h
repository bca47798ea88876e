// Streams written to standard output as one JSON document, as the walk meets them:
// {"streams":[{"name":..,"size":..,"type":..,"path":..},...]}.
#pragma once

#include "cli/JsonWriter.h"
#include "helpfile/EntryTable.h"

#include <string>

class CJsonList {
public:
    CJsonList();

    void Write(const tarnwick::helpfile::WalkedStream& stream, const std::wstring& type);
    // Closes the document and writes out whatever is still buffered.
    void Finish();

private:
    CJsonWriter m_json;
    std::string m_output;
};
