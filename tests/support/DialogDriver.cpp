#include "support/DialogDriver.h"

#include <string>
#include <vector>

namespace {

// Thread timers carry no data of their own; the tests run on one thread.
DialogDriver* g_driver = nullptr;

struct Search {
    HWND besides;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<Search*>(parameter);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window) || window == search.besides) return TRUE;
    search.found = window;
    return FALSE;
}

HWND ShownDialogOfThisThread(HWND besides)
{
    Search search{besides};
    EnumThreadWindows(GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressEscape(HWND dialog)
{
    HWND focus = GetFocus();
    if (!focus || !IsChild(dialog, focus)) focus = GetDlgItem(dialog, IDOK);
    // The dialog's message loop turns the key into its Cancel command.
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0);
}

} // namespace

DialogDriver::DialogDriver(std::function<void(HWND)> whileShown, CloseBy closeBy, HWND opener)
    : m_whileShown(std::move(whileShown)), m_closeBy(closeBy), m_opener(opener)
{
    g_driver = this;
    m_timer = SetTimer(nullptr, 0, 20, &OnTimer);
}

DialogDriver::~DialogDriver()
{
    if (m_timer) KillTimer(nullptr, m_timer);
    g_driver = nullptr;
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_driver || g_driver->m_shown) return;
    if (HWND dialog = ShownDialogOfThisThread(g_driver->m_opener)) g_driver->Drive(dialog);
}

void DialogDriver::Drive(HWND dialog)
{
    m_shown = true;
    KillTimer(nullptr, m_timer);
    m_timer = 0;
    m_whileShown(dialog);
    if (m_closeBy == CloseBy::Ok)
        ClickButton(dialog, IDOK);
    else
        PressEscape(dialog);
}

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    return text.data();
}
