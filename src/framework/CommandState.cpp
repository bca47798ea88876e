#include "framework/CommandState.h"

#include <commctrl.h>

CCommandState CCommandState::ForMenuItem(HMENU menu, UINT index, UINT id)
{
    CCommandState state(id);
    state.m_menu = menu;
    state.m_index = index;
    return state;
}

CCommandState CCommandState::ForToolBarButton(HWND toolBar, UINT id)
{
    CCommandState state(id);
    state.m_toolBar = toolBar;
    return state;
}

CCommandState CCommandState::ForCheck(UINT id)
{
    return CCommandState(id);
}

void CCommandState::Enable(bool enabled)
{
    m_enabled = enabled;
    if (m_menu) {
        EnableMenuItem(m_menu, m_index, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    } else if (m_toolBar) {
        // Only a change: setting the same state again would repaint the button at every idle.
        const bool shown = SendMessageW(m_toolBar, TB_ISBUTTONENABLED, m_id, 0) != 0;
        if (shown != enabled) SendMessageW(m_toolBar, TB_ENABLEBUTTON, m_id, MAKELPARAM(enabled, 0));
    }
}

void CCommandState::SetCheck(bool checked)
{
    if (m_menu) {
        CheckMenuItem(m_menu, m_index, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_toolBar) {
        const bool shown = SendMessageW(m_toolBar, TB_ISBUTTONCHECKED, m_id, 0) != 0;
        if (shown != checked) SendMessageW(m_toolBar, TB_CHECKBUTTON, m_id, MAKELPARAM(checked, 0));
    }
}
