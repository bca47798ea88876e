// Rows written to standard output as the walk makes them, one line each:
// name, size, type and internal path separated by tabs.
#pragma once

#include "StreamedRows.h"

class CPrintedList final : public CStreamedRows {
public:
    // Writes out the last row and whatever is still buffered.
    void Finish();

private:
    void WriteRow(const Cells& cells) override;

    std::wstring m_output;
};
