// The state of one command in one place that shows it: a menu item, a toolbar
// button, or nowhere (a check before the command runs). Update handlers set it.
#pragma once

#include <windows.h>

class CCommandState {
public:
    static CCommandState ForMenuItem(HMENU menu, UINT index, UINT id);
    static CCommandState ForToolBarButton(HWND toolBar, UINT id);
    static CCommandState ForCheck(UINT id);

    UINT GetId() const { return m_id; }
    void Enable(bool enabled = true);
    void SetCheck(bool checked = true);
    bool IsEnabled() const { return m_enabled; }

    // The menu and position of a menu item; null for other places.
    HMENU GetMenu() const { return m_menu; }
    UINT GetIndex() const { return m_index; }

private:
    explicit CCommandState(UINT id) : m_id(id) {}

    UINT m_id;
    HMENU m_menu = nullptr;
    UINT m_index = 0;
    HWND m_toolBar = nullptr;
    bool m_enabled = true;
};
