// The main window's place between starts: its normal rectangle in screen coordinates and whether
// it was maximised, kept in the settings.
#pragma once

#include "framework/Profile.h"

#include <windows.h>

#include <optional>

struct WindowPlacement {
    RECT normal{};
    bool maximised = false;
};

// None when nothing was kept, or the kept rectangle is on no screen any more.
std::optional<WindowPlacement> LoadWindowPlacement(const CProfile& settings);
void SaveWindowPlacement(CProfile& settings, HWND window);
