// The progress window following a run of the library over a table of entries (export, the
// project, the integrity check): each entry's path as it starts, and the cancel button.
#pragma once

#include "engine/UnpackPipeline.h"
#include "helpfile/EntryTable.h"
#include "unpackdialog/ProgressWnd.h"

#include <string>

class CTableProgress final : public UnpackObserver {
public:
    // `label`: what is being done, before each entry's path.
    CTableProgress(const std::wstring& title, std::wstring label, const tarnwick::helpfile::EntryTable& entries);

    // False once the user has cancelled: the run stops before the entry.
    bool Starting(std::size_t done, std::size_t index) override;
    // The window is top-most: it goes before any message about the run.
    void Close() { m_window.DestroyWindow(); }
    bool IsCancelled() const { return m_window.IsCancelled(); }

private:
    const tarnwick::helpfile::EntryTable& m_entries;
    std::wstring m_label;
    CProgressWnd m_window;
};
