// Where an export goes: a folder typed or picked with the folder browser, as the unpack dialog
// takes its destination. Nothing of it is remembered.
#pragma once

#include "framework/ModalDialog.h"

#include <string>

class CDestinationDlg : public CModalDialog {
public:
    // `caption`: the command it is for.
    explicit CDestinationDlg(std::wstring caption);

    // Once confirmed: the folder, without a backslash at its end.
    std::wstring m_destination;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int notification) override;

private:
    std::wstring m_caption;
};
