// A bar along one side of a frame: the toolbar or the status bar. The bar
// styles travel in the low bits of the style given at creation, beside the
// window's WS_ bits.
#pragma once

#include "framework/Window.h"

class CFrameWindow;

enum class DockSide { Top, Bottom, Left, Right };

constexpr DWORD kBarAlignLeft = 0x1000;
constexpr DWORD kBarAlignTop = 0x2000;
constexpr DWORD kBarAlignRight = 0x4000;
constexpr DWORD kBarAlignBottom = 0x8000;
constexpr DWORD kBarAlignAny = 0xF000;
constexpr DWORD kBarBorderTop = 0x200;
constexpr DWORD kBarBorderBottom = 0x800;
constexpr DWORD kBarToolTips = 0x10;
constexpr DWORD kBarFlyBy = 0x20;
constexpr DWORD kBarSizeDynamic = 0x4;
constexpr DWORD kBarGripper = 0x400000;

// The part of a creation style that is the window's own.
constexpr DWORD kWindowStyleBits = 0xFF000000;

// The kBarAlign bit of a side.
DWORD AlignBitOf(DockSide side);

class CControlBar : public CWindow {
public:
    ~CControlBar() override;

    UINT GetBarId() const;
    DWORD GetBarStyle() const { return m_barStyle; }
    bool IsVisible() const;
    DockSide GetDockSide() const { return m_dockSide; }
    virtual void SetDockSide(DockSide side) { m_dockSide = side; }
    // Sides the bar may be docked to, as kBarAlign bits.
    void EnableDocking(DWORD sides) { m_dockingSides = sides; }
    bool CanDock(DockSide side) const;

    // How far the bar reaches into the frame from its side, in pixels.
    virtual int CalcThickness() = 0;
    // Brings the bar's buttons and panes up to date while the program is idle.
    virtual void UpdateCommandStates(CFrameWindow& frame) = 0;

protected:
    // Makes the bar's window and joins the frame's layout.
    bool CreateBar(CFrameWindow& frame, const wchar_t* className, DWORD controlStyle, DWORD style, UINT id);
    CFrameWindow* GetFrame() const { return m_frame; }

private:
    CFrameWindow* m_frame = nullptr;
    DWORD m_barStyle = 0;
    DWORD m_dockingSides = 0;
    DockSide m_dockSide = DockSide::Top;
};
