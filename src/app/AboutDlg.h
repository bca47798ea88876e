// The about box: the program's name and version, who made it, and the e-mail
// and home-page entries that hand their addresses to the shell.
#pragma once

#include "framework/ModalDialog.h"

class CAboutDlg : public CModalDialog {
public:
    CAboutDlg();

protected:
    bool OnCommand(int id, int notification) override;
};
