#include "view/PleaseWaitWindow.h"

#include "resource.h"

CPleaseWaitWindow::CPleaseWaitWindow(HWND parent)
{
    if (!Create(IDD_PLEASE_WAIT, parent)) return;
    ShowWindow(GetSafeHwnd(), SW_SHOWNOACTIVATE);
    // No message is pumped until the list is full: paint the window and its text now.
    RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
