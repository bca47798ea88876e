#include "view/ListContextMenu.h"

#include "framework/UniqueHandle.h"
#include "resource.h"

void EnableListMenuItems(HMENU popup, int selectedCount)
{
    EnableMenuItem(popup, ID_LIST_RUN, MF_BYCOMMAND | (selectedCount == 1 ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, ID_LIST_UNPACK, MF_BYCOMMAND | (selectedCount > 0 ? MF_ENABLED : MF_GRAYED));
}

UINT TrackListContextMenu(HWND owner, int selectedCount, POINT at)
{
    const CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU)));
    const HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return 0;
    EnableListMenuItems(popup, selectedCount);
    return static_cast<UINT>(
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
}
