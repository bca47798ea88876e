#include "unpackdialog/DestinationDlg.h"

#include "framework/MessageBox.h"
#include "resource.h"
#include "unpackdialog/FolderBrowser.h"
#include "unpackdialog/UnpackDlg.h"

CDestinationDlg::CDestinationDlg(std::wstring caption) : CModalDialog(IDD_DESTINATION), m_caption(std::move(caption)) {}

BOOL CDestinationDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SetWindowTextW(GetSafeHwnd(), m_caption.c_str());
    return TRUE;
}

bool CDestinationDlg::OnCommand(int id, int notification)
{
    if (id != IDC_DESTINATION_BROWSE || notification != BN_CLICKED) return false;
    if (const auto folder = BrowseForFolder()) SetDlgItemTextW(GetSafeHwnd(), IDC_DESTINATION_FOLDER, folder->c_str());
    return true;
}

void CDestinationDlg::OnOK()
{
    ExchangeText(IDC_DESTINATION_FOLDER, m_destination, true);
    if (m_destination.empty()) {
        ShowMessageBox(L"\"导出到\"域不能为空");
        return;
    }
    RemoveTrailingBackslash(m_destination);
    EndDialog(IDOK);
}
