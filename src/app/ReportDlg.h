// A text for the user to read and copy: the facts of a help file, the damaged entries the check
// found. The text is read-only and selectable; the copy button takes all of it.
#pragma once

#include "framework/ModalDialog.h"

#include <string>

class CReportDlg : public CModalDialog {
public:
    // `text`: lines ended by "\n".
    CReportDlg(std::wstring caption, const std::wstring& text);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int notification) override;

private:
    void CopyAll();

    std::wstring m_caption;
    std::wstring m_text;
};
