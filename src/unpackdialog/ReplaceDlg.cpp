#include "unpackdialog/ReplaceDlg.h"

#include "resource.h"

static_assert(CReplaceDlg::kSkip == IDC_REPLACE_SKIP && CReplaceDlg::kReplaceAll == IDC_REPLACE_ALL &&
              CReplaceDlg::kSkipAll == IDC_REPLACE_SKIP_ALL);

CReplaceDlg::CReplaceDlg(HWND owner, const std::wstring& existingFile)
    : CModalDialog(IDD_REPLACE, owner), m_existingFile(existingFile)
{
}

BOOL CReplaceDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    const std::wstring text = L"目标文件夹中已有这个文件:\n" + m_existingFile + L"\n\n要用帮助文件中的同名文件替换它吗?";
    SetDlgItemTextW(GetSafeHwnd(), IDC_REPLACE_TEXT, text.c_str());
    return TRUE;
}

bool CReplaceDlg::OnCommand(int id, int notification)
{
    if (notification != BN_CLICKED || (id != kSkip && id != kReplaceAll && id != kSkipAll)) return false;
    EndDialog(id);
    return true;
}
