// Rows written to standard output as one JSON document, as the walk makes them:
// {"streams":[{"name":..,"size":..,"type":..,"path":..},...]}.
#pragma once

#include "JsonWriter.h"
#include "StreamedRows.h"

#include <string>

class CJsonList final : public CStreamedRows {
public:
    CJsonList();

    // Writes out the last row and closes the document.
    void Finish();

private:
    void WriteRow(const Cells& cells) override;

    CJsonWriter m_json;
    std::string m_output;
};
