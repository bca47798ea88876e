// Works a modal dialog from inside its own message loop: once the dialog is up,
// a thread timer hands it to the test's code, then closes it as the user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

enum class CloseBy { Ok, Escape };

class DialogDriver {
public:
    // From the next modal dialog on, `whileShown` runs once on the dialog, which
    // is then closed with `closeBy` even when `whileShown` stopped early. A dialog
    // opened from another one names that one as `opener`, which is not driven.
    DialogDriver(std::function<void(HWND)> whileShown, CloseBy closeBy, HWND opener = nullptr);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    bool DialogWasShown() const { return m_shown; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Drive(HWND dialog);

    std::function<void(HWND)> m_whileShown;
    CloseBy m_closeBy;
    HWND m_opener;
    UINT_PTR m_timer = 0;
    bool m_shown = false;
};

// Clicks a button of the dialog as the mouse would.
inline void ClickButton(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
std::wstring ControlText(HWND dialog, int id);
