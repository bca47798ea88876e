// The list's context menu: "运行" for exactly one selected row, "展开" for any selection.
#pragma once

#include <windows.h>

// Grays what the selection does not allow.
void EnableListMenuItems(HMENU popup, int selectedCount);

// Shows the menu at `at` (screen coordinates) and returns the chosen command, 0 when dismissed.
UINT TrackListContextMenu(HWND owner, int selectedCount, POINT at);
