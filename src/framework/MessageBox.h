// The program's message boxes: captioned with the application's name and
// owned by its main window; the application object shows them.
#pragma once

#include <windows.h>

#include <string>

// Returns the button the user chose. With no icon in `type`, an OK box gets the
// exclamation mark and a question box the question mark. A line wider than most of the screen
// (a long path cannot wrap) is shortened in the middle.
int ShowMessageBox(const std::wstring& text, UINT type = MB_OK);
int ShowMessageBox(UINT promptId, UINT type = MB_OK);

// `type` with the icon that the framework adds when none is given.
UINT WithDefaultIcon(UINT type);
