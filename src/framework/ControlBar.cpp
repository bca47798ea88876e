#include "framework/ControlBar.h"

#include "framework/FrameWindow.h"

namespace {

DockSide SideOf(DWORD barStyle)
{
    if (barStyle & kBarAlignBottom) return DockSide::Bottom;
    if (barStyle & kBarAlignLeft) return DockSide::Left;
    if (barStyle & kBarAlignRight) return DockSide::Right;
    return DockSide::Top;
}

} // namespace

DWORD AlignBitOf(DockSide side)
{
    switch (side) {
    case DockSide::Top: return kBarAlignTop;
    case DockSide::Bottom: return kBarAlignBottom;
    case DockSide::Left: return kBarAlignLeft;
    case DockSide::Right: return kBarAlignRight;
    }
    return 0;
}

CControlBar::~CControlBar()
{
    if (m_frame) m_frame->RemoveControlBar(*this);
}

bool CControlBar::CreateBar(CFrameWindow& frame, const wchar_t* className, DWORD controlStyle, DWORD style, UINT id)
{
    m_barStyle = style & ~kWindowStyleBits;
    m_dockSide = SideOf(m_barStyle);
    const DWORD windowStyle = (style & kWindowStyleBits) | controlStyle;
    if (!CreateEx(0, className, L"", windowStyle, 0, 0, 0, 0, frame.GetSafeHwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;
    m_frame = &frame;
    frame.AddControlBar(*this);
    return true;
}

UINT CControlBar::GetBarId() const
{
    return static_cast<UINT>(GetDlgCtrlID(m_hWnd));
}

bool CControlBar::IsVisible() const
{
    return m_hWnd && (GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_VISIBLE);
}

bool CControlBar::CanDock(DockSide side) const
{
    return (m_dockingSides & AlignBitOf(side)) != 0;
}
