#include "framework/Dialog.h"

CDialog::~CDialog()
{
    if (m_hWnd) DestroyWindow(m_hWnd);
}

bool CDialog::Create(UINT templateId, HWND parent)
{
    m_hWnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent, &StaticDialogProc,
                                reinterpret_cast<LPARAM>(this));
    return m_hWnd != nullptr;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* object = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        object->m_hWnd = dialog;
        return object->OnInitDialog();
    }
    if (message == WM_NCDESTROY) {
        if (auto* object = reinterpret_cast<CDialog*>(GetWindowLongPtrW(dialog, DWLP_USER))) object->m_hWnd = nullptr;
    }
    return FALSE;
}
