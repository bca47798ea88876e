#include "app/AboutDlg.h"

#include "resource.h"
#include "view/ShellOperations.h"

CAboutDlg::CAboutDlg() : CModalDialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnCommand(int id, int notification)
{
    if (notification != BN_CLICKED) return false;
    // The telephone entry only shows the number: it has nothing to hand to the shell.
    switch (id) {
    case IDC_ABOUT_EMAIL: SendEmail(); return true;
    case IDC_ABOUT_HOME_PAGE: OpenHomePage(); return true;
    default: return false;
    }
}
