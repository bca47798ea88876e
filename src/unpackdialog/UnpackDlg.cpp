#include "unpackdialog/UnpackDlg.h"

#include "framework/MessageBox.h"
#include "resource.h"
#include "unpackdialog/FolderBrowser.h"
#include "unpackdialog/UnpackRun.h"

void RemoveTrailingBackslash(std::wstring& folder)
{
    // In UTF-16 no part of another character has a backslash's value, so the
    // last unit being one means the last character is one.
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
}

CUnpackDlg::CUnpackDlg(CListViewControl list, CChmEngine& engine, HWND parent)
    : CModalDialog(IDD_UNPACK, parent), m_nFileChoice(IDC_UNPACK_ALL), m_list(list), m_engine(engine)
{
}

void CUnpackDlg::DoDataExchange(bool)
{
    m_btnUsePaths = GetDlgItem(IDC_UNPACK_USE_PATHS);
}

BOOL CUnpackDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    CheckDlgButton(GetSafeHwnd(), IDC_UNPACK_USE_PATHS, BST_CHECKED);
    CheckRadioButton(GetSafeHwnd(), IDC_UNPACK_SELECTED, IDC_UNPACK_ALL, m_nFileChoice);
    return TRUE;
}

bool CUnpackDlg::OnCommand(int id, int notification)
{
    if (notification != BN_CLICKED) return false;
    switch (id) {
    case IDC_UNPACK_SELECTED: m_nFileChoice = IDC_UNPACK_SELECTED; return true;
    case IDC_UNPACK_ALL: m_nFileChoice = IDC_UNPACK_ALL; return true;
    case IDC_UNPACK_BROWSE: OnBrowse(); return true;
    default: return false;
    }
}

void CUnpackDlg::OnBrowse()
{
    if (const auto folder = BrowseForFolder()) SetDlgItemTextW(GetSafeHwnd(), IDC_UNPACK_DESTINATION, folder->c_str());
}

std::wstring CUnpackDlg::ReadDestination() const
{
    const HWND edit = GetDlgItem(IDC_UNPACK_DESTINATION);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CUnpackDlg::OnOK()
{
    UnpackRequest request;
    request.destination = ReadDestination();
    if (request.destination.empty()) {
        ShowMessageBox(L"\"展开到\"域不能为空");
        return;
    }
    if (m_nFileChoice == IDC_UNPACK_SELECTED && m_list.GetSelectedCount() == 0) {
        ShowMessageBox(L"没有选中的文件: 请先在列表中选中要展开的文件, 或选择“所有文件”.");
        return;
    }
    RemoveTrailingBackslash(request.destination);
    UpdateData(true);
    request.fileChoice = m_nFileChoice;
    request.usePaths = SendMessageW(m_btnUsePaths, BM_GETCHECK, 0, 0) == BST_CHECKED;
    // Ending the dialog first would enable the main window again at once; hidden,
    // the dialog takes no input and its owner stays disabled for the whole run.
    ShowWindow(GetSafeHwnd(), SW_HIDE);
    m_outcome = RunUnpack(GetSafeHwnd(), m_list, m_engine, request);
    EndDialog(IDOK);
}
