// A modeless dialog made from a dialog template, alive as long as the object.
#pragma once

#include <windows.h>

class CDialog {
public:
    CDialog() = default;
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    bool Create(UINT templateId, HWND parent);
    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
};
