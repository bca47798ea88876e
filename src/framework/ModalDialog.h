// A dialog run modally from a dialog template, with data exchange between its
// controls and the object's members, in the manner of the framework's dialogs.
#pragma once

#include <windows.h>

#include <string>

class CModalDialog {
public:
    // Without a parent the dialog belongs to the application's main window, if any.
    explicit CModalDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CModalDialog() = default;
    CModalDialog(const CModalDialog&) = delete;
    CModalDialog& operator=(const CModalDialog&) = delete;

    // Shows the dialog and returns once it has ended: IDOK, IDCANCEL or -1 when
    // it could not be created.
    INT_PTR DoModal();
    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

protected:
    // Copies the members into the controls, or with `save` the controls into the members.
    virtual void DoDataExchange(bool save) { (void)save; }
    void UpdateData(bool save) { DoDataExchange(save); }

    // The members go into the controls; true lets the dialog set the initial focus.
    virtual BOOL OnInitDialog();
    // Reads the controls back and ends with IDOK.
    virtual void OnOK();
    // Ends with IDCANCEL without reading the controls (Esc, the close box).
    virtual void OnCancel();
    // A command from a control other than OK and Cancel; true when it was handled.
    virtual bool OnCommand(int id, int notification);
    // The brush for a control's background; null leaves it to the dialog's default.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control);
    // Paints the dialog's own drawing; false when it draws nothing of its own.
    virtual bool OnPaint() { return false; }

    void EndDialog(INT_PTR result);

    void ExchangeCheck(int id, bool& value, bool save);
    void ExchangeText(int id, std::wstring& value, bool save);

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
    HWND m_hWnd = nullptr;
};
