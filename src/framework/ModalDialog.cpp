#include "framework/ModalDialog.h"

#include "framework/Application.h"
#include "framework/FrameWindow.h"

#include <vector>

CModalDialog::CModalDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR CModalDialog::DoModal()
{
    HWND owner = m_parent;
    if (!owner) {
        CApplication* application = CApplication::Get();
        if (application && application->GetMainWindow()) owner = application->GetMainWindow()->GetSafeHwnd();
    }
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                                           &StaticDialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CModalDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CModalDialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void CModalDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CModalDialog::OnCommand(int, int)
{
    return false;
}

HBRUSH CModalDialog::OnCtlColor(HDC, HWND)
{
    return nullptr;
}

void CModalDialog::EndDialog(INT_PTR result)
{
    ::EndDialog(m_hWnd, result);
}

void CModalDialog::ExchangeCheck(int id, bool& value, bool save)
{
    if (save)
        value = IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED;
    else
        CheckDlgButton(m_hWnd, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void CModalDialog::ExchangeText(int id, std::wstring& value, bool save)
{
    if (!save) {
        SetDlgItemTextW(m_hWnd, id, value.c_str());
        return;
    }
    HWND control = GetDlgItem(id);
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    value = text.data();
}

INT_PTR CALLBACK CModalDialog::StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<CModalDialog*>(lParam)->m_hWnd = dialog;
    }
    auto* object = reinterpret_cast<CModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return object ? object->DialogProc(message, wParam, lParam) : FALSE;
}

INT_PTR CModalDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, HIWORD(wParam));
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        // A dialog procedure hands back a brush as its result; null means "not handled".
        return reinterpret_cast<INT_PTR>(OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_PAINT: return OnPaint();
    default: return FALSE;
    }
}
