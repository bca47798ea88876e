#include "framework/ToolBar.h"

#include "framework/FrameWindow.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace {

constexpr WORD kToolBarResourceType = 241;
// Room for the gripper at the leading edge and a line towards the view.
constexpr int kGripperSpace = 9;
constexpr int kEdgeSpace = 2;

struct ToolBarResource {
    SIZE imageSize{};
    std::vector<UINT> items;
};

bool ReadToolBarResource(UINT resourceId, ToolBarResource& resource)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(kToolBarResourceType));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    if (!words || size < 4 * sizeof(WORD) || words[0] != 1) return false;
    const std::size_t count = words[3];
    if (size < (4 + count) * sizeof(WORD)) return false;
    resource.imageSize = {words[1], words[2]};
    resource.items.assign(words + 4, words + 4 + count);
    return true;
}

} // namespace

CToolBar::~CToolBar()
{
    // The window goes before the images and the bitmap that it draws from.
    DestroyWindow();
}

bool CToolBar::CreateEx(CFrameWindow& frame, DWORD controlStyle, DWORD style, UINT id)
{
    DWORD toolBarStyle = controlStyle | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;
    if (style & kBarToolTips) toolBarStyle |= TBSTYLE_TOOLTIPS;
    if (!CreateBar(frame, TOOLBARCLASSNAMEW, toolBarStyle, style, id)) return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CToolBar::LoadToolBar(UINT resourceId)
{
    ToolBarResource resource;
    if (!ReadToolBarResource(resourceId, resource)) return false;
    m_resourceBitmap.Reset(CreateMappedBitmap(GetModuleHandleW(nullptr), resourceId, 0, nullptr, 0));
    if (!m_resourceBitmap) return false;

    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(resource.imageSize.cx, resource.imageSize.cy));
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (UINT item : resource.items) {
        TBBUTTON button{};
        button.idCommand = static_cast<int>(item);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = item == 0 ? BTNS_SEP : BTNS_BUTTON;
        button.iBitmap = item == 0 ? 0 : image++;
        button.iString = -1;
        buttons.push_back(button);
    }
    TBADDBITMAP bitmap{nullptr, reinterpret_cast<UINT_PTR>(m_resourceBitmap.Get())};
    if (SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(image), reinterpret_cast<LPARAM>(&bitmap)) == -1) return false;
    return SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
}

int CToolBar::GetButtonCount() const
{
    return static_cast<int>(SendMessage(TB_BUTTONCOUNT));
}

UINT CToolBar::GetItemId(int index) const
{
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) return 0;
    return (button.fsStyle & BTNS_SEP) ? 0 : static_cast<UINT>(button.idCommand);
}

void CToolBar::SetButtonText(int index, const std::wstring& text)
{
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) return;
    // The text goes into the toolbar's own string pool (a list ending in an empty string),
    // and the button is put back with it, so that the bar sizes its buttons to the labels.
    std::wstring pool = text;
    pool.push_back(L'\0');
    pool.push_back(L'\0');
    const LRESULT string = SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(pool.c_str()));
    if (string < 0) return;
    button.iString = string;
    SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index));
    SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
}

RECT CToolBar::GetItemRect(int index) const
{
    RECT rect{};
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void CToolBar::SetSizes(SIZE button, SIZE image)
{
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(image.cx, image.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
}

void CToolBar::SetImageList(CImageListHandle images)
{
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Get()));
    m_images = std::move(images);
}

bool CToolBar::IsVertical() const
{
    return GetDockSide() == DockSide::Left || GetDockSide() == DockSide::Right;
}

void CToolBar::SetDockSide(DockSide side)
{
    CControlBar::SetDockSide(side);
    const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, IsVertical() ? (style | CCS_VERT) : (style & ~static_cast<LONG_PTR>(CCS_VERT)));
    // A vertical bar is one button per row.
    for (int index = 0; index < GetButtonCount(); ++index) {
        TBBUTTON button{};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
        const auto state = static_cast<BYTE>(IsVertical() ? (button.fsState | TBSTATE_WRAP)
                                                          : (button.fsState & ~TBSTATE_WRAP));
        SendMessage(TB_SETSTATE, static_cast<WPARAM>(button.idCommand), MAKELPARAM(state, 0));
    }
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

int CToolBar::CalcThickness()
{
    const auto buttonSize = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    const int across = IsVertical() ? LOWORD(buttonSize) : HIWORD(buttonSize);
    return across + 2 * kEdgeSpace;
}

void CToolBar::UpdateCommandStates(CFrameWindow& frame)
{
    for (int index = 0; index < GetButtonCount(); ++index) {
        const UINT id = GetItemId(index);
        if (id == 0) continue;
        CCommandState state = CCommandState::ForToolBarButton(m_hWnd, id);
        frame.RouteUpdate(state);
    }
}

LRESULT CToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCALCSIZE: {
        const LRESULT result = Default(message, wParam, lParam);
        RECT& client = *reinterpret_cast<RECT*>(lParam);
        if (!(GetBarStyle() & kBarGripper)) return result;
        if (IsVertical()) {
            client.top += kGripperSpace;
            client.left += kEdgeSpace;
            client.right -= kEdgeSpace;
        } else {
            client.left += kGripperSpace;
            client.top += kEdgeSpace;
            client.bottom -= kEdgeSpace;
        }
        return result;
    }
    case WM_NCPAINT:
        Default(message, wParam, lParam);
        PaintGripper();
        return 0;
    case WM_NCHITTEST:
        if (IsOnGripper({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) return HTCAPTION;
        return Default(message, wParam, lParam);
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCAPTION) return Default(message, wParam, lParam);
        SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
        return TRUE;
    case WM_NCLBUTTONDOWN:
        if (wParam != HTCAPTION) return Default(message, wParam, lParam);
        m_dragging = true;
        SetCapture(m_hWnd);
        return 0;
    case WM_LBUTTONUP:
        if (!m_dragging) return Default(message, wParam, lParam);
        m_dragging = false;
        ReleaseCapture();
        {
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(m_hWnd, &point);
            DropAt(point);
        }
        return 0;
    case WM_CAPTURECHANGED:
        m_dragging = false;
        return Default(message, wParam, lParam);
    default: return Default(message, wParam, lParam);
    }
}

bool CToolBar::IsOnGripper(POINT screenPoint) const
{
    if (!(GetBarStyle() & kBarGripper)) return false;
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    if (!PtInRect(&window, screenPoint)) return false;
    return IsVertical() ? screenPoint.y < window.top + kGripperSpace : screenPoint.x < window.left + kGripperSpace;
}

void CToolBar::DropAt(POINT screenPoint)
{
    CFrameWindow* frame = GetFrame();
    if (!frame) return;
    RECT client{};
    GetClientRect(frame->GetSafeHwnd(), &client);
    ScreenToClient(frame->GetSafeHwnd(), &screenPoint);
    const std::pair<long, DockSide> distances[] = {{screenPoint.y - client.top, DockSide::Top},
                                                   {client.bottom - screenPoint.y, DockSide::Bottom},
                                                   {screenPoint.x - client.left, DockSide::Left},
                                                   {client.right - screenPoint.x, DockSide::Right}};
    const auto nearest = std::min_element(std::begin(distances), std::end(distances),
                                          [](const auto& left, const auto& right) { return left.first < right.first; });
    frame->DockControlBar(*this, nearest->second);
}

void CToolBar::PaintGripper()
{
    if (!(GetBarStyle() & kBarGripper)) return;
    CWindowDC dc(m_hWnd, CWindowDC::Area::Window);
    if (!dc) return;
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    POINT clientOrigin{0, 0};
    ClientToScreen(m_hWnd, &clientOrigin);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    OffsetRect(&client, clientOrigin.x - window.left, clientOrigin.y - window.top);
    OffsetRect(&window, -window.left, -window.top);

    // Only the frame around the buttons: the buttons paint themselves.
    ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
    FillRect(dc.Get(), &window, GetSysColorBrush(COLOR_BTNFACE));
    RECT grip = IsVertical() ? RECT{window.left + 3, window.top + 3, window.right - 3, window.top + 6}
                             : RECT{window.left + 3, window.top + 3, window.left + 6, window.bottom - 3};
    DrawEdge(dc.Get(), &grip, BDR_RAISEDINNER, BF_RECT);
    DrawEdge(dc.Get(), &window, EDGE_ETCHED, EdgeTowardsView());
}

UINT CToolBar::EdgeTowardsView() const
{
    switch (GetDockSide()) {
    case DockSide::Top: return BF_BOTTOM;
    case DockSide::Bottom: return BF_TOP;
    case DockSide::Left: return BF_RIGHT;
    case DockSide::Right: return BF_LEFT;
    }
    return BF_BOTTOM;
}
