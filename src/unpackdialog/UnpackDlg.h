// The dialog that sets up an unpack: destination folder (typed or browsed),
// selected or all rows, with or without the help file's own folders. Its OK
// button is the unpack run.
#pragma once

#include "engine/ChmEngine.h"
#include "framework/ListViewControl.h"
#include "framework/ModalDialog.h"
#include "unpackdialog/UnpackOutcome.h"

#include <optional>
#include <string>

class CUnpackDlg : public CModalDialog {
public:
    CUnpackDlg(CListViewControl list, CChmEngine& engine, HWND parent = nullptr);

    // IDC_UNPACK_SELECTED or IDC_UNPACK_ALL: set by the opener, then by the radio buttons.
    int m_nFileChoice;
    // How the run ended, once the dialog has been confirmed; for the opener to tell.
    const std::optional<UnpackOutcome>& Outcome() const { return m_outcome; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(bool save) override;
    void OnOK() override;
    bool OnCommand(int id, int notification) override;

private:
    void OnBrowse();
    std::wstring ReadDestination() const;

    CListViewControl m_list;
    CChmEngine& m_engine;
    HWND m_btnUsePaths = nullptr;
    std::optional<UnpackOutcome> m_outcome;
};

// Drops one backslash from the end, if there is one.
void RemoveTrailingBackslash(std::wstring& folder);
