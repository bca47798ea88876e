#include "app/WindowPlacement.h"

namespace {

const wchar_t kSection[] = L"设置";

// Where the window's work area begins on its monitor: the placement's normal rectangle is
// measured from there, not from the screen's corner, when a task bar is on the left or top.
POINT WorkAreaOffset(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return {};
    return {monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top};
}

} // namespace

std::optional<WindowPlacement> LoadWindowPlacement(const CProfile& settings)
{
    WindowPlacement placement;
    const int width = settings.GetInt(kSection, L"WindowWidth", 0);
    const int height = settings.GetInt(kSection, L"WindowHeight", 0);
    if (width <= 0 || height <= 0) return std::nullopt;
    placement.normal.left = settings.GetInt(kSection, L"WindowLeft", 0);
    placement.normal.top = settings.GetInt(kSection, L"WindowTop", 0);
    placement.normal.right = placement.normal.left + width;
    placement.normal.bottom = placement.normal.top + height;
    placement.maximised = settings.GetInt(kSection, L"WindowMaximized", 0) != 0;
    if (!MonitorFromRect(&placement.normal, MONITOR_DEFAULTTONULL)) return std::nullopt;
    return placement;
}

void SaveWindowPlacement(CProfile& settings, HWND window)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return;
    const POINT offset = WorkAreaOffset(window);
    const RECT& normal = placement.rcNormalPosition;
    // Minimised, it comes back as it was before.
    const bool maximised = IsZoomed(window) || (IsIconic(window) && (placement.flags & WPF_RESTORETOMAXIMIZED));
    settings.WriteInt(kSection, L"WindowLeft", normal.left + offset.x);
    settings.WriteInt(kSection, L"WindowTop", normal.top + offset.y);
    settings.WriteInt(kSection, L"WindowWidth", normal.right - normal.left);
    settings.WriteInt(kSection, L"WindowHeight", normal.bottom - normal.top);
    settings.WriteInt(kSection, L"WindowMaximized", maximised ? 1 : 0);
}
