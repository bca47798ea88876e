#include "framework/FrameWindow.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/FrameworkIds.h"
#include "framework/ResourceText.h"
#include "framework/StatusBar.h"
#include "framework/UniqueHandle.h"
#include "framework/View.h"

#include <commctrl.h>

#include <algorithm>

CFrameWindow::CFrameWindow()
{
    MapCommand(ID_VIEW_TOOLBAR, [this] { OnToggleControlBar(ID_VIEW_TOOLBAR); });
    MapCommand(ID_VIEW_STATUS_BAR, [this] { OnToggleControlBar(ID_VIEW_STATUS_BAR); });
    MapUpdateRange(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, [this](CCommandState& state) { OnUpdateControlBarMenu(state); });
}

CFrameWindow::~CFrameWindow()
{
    DestroyWindow();
}

bool CFrameWindow::LoadFrame(UINT resourceId, const std::wstring& appTitle, CDocument& document, ViewFactory makeView)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_document = &document;
    m_makeView = std::move(makeView);
    m_appTitle = appTitle;
    m_accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId));
    CMenuHandle menu(LoadMenuW(instance, MAKEINTRESOURCEW(resourceId)));

    CREATESTRUCTW cs{};
    cs.style = WS_OVERLAPPEDWINDOW;
    cs.x = CW_USEDEFAULT;
    cs.y = CW_USEDEFAULT;
    cs.cx = CW_USEDEFAULT;
    cs.cy = CW_USEDEFAULT;
    PreCreateWindow(cs);
    if (!CreateEx(cs.dwExStyle, FrameWindowClassName(), appTitle.c_str(), cs.style, cs.x, cs.y, cs.cx, cs.cy, nullptr,
                  nullptr))
        return false;
    // The menu joins once the window exists: a window that failed to be made would have destroyed it.
    if (menu && SetMenu(m_hWnd, menu.Get())) menu.Release();
    for (int size : {ICON_BIG, ICON_SMALL}) {
        const int metric = size == ICON_BIG ? SM_CXICON : SM_CXSMICON;
        HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, GetSystemMetrics(metric),
                                 GetSystemMetrics(metric), LR_SHARED);
        SendMessage(WM_SETICON, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(icon));
    }
    SetMessageText(IDS_IDLE_MESSAGE);
    UpdateFrameTitle();
    RecalcLayout();
    return true;
}

CStatusBar* CFrameWindow::GetStatusBar()
{
    return nullptr;
}

void CFrameWindow::PreCreateWindow(CREATESTRUCTW&) {}

int CFrameWindow::OnCreate(const CREATESTRUCTW&)
{
    if (!m_makeView || !m_document) return -1;
    m_view = m_makeView();
    if (!m_view || !m_view->Create(*this, *m_document, IDW_PANE_FIRST)) {
        m_view.reset();
        return -1;
    }
    return 0;
}

void CFrameWindow::OnClose()
{
    DestroyWindow();
}

void CFrameWindow::OnInitMenu(HMENU) {}

void CFrameWindow::OnWindowDestroyed()
{
    CApplication* application = CApplication::Get();
    if (application && application->GetMainWindow() == this) {
        application->SetMainWindow(nullptr);
        PostQuitMessage(0);
    }
}

void CFrameWindow::UpdateFrameTitle()
{
    const std::wstring documentTitle = m_document ? m_document->GetTitle() : std::wstring();
    SetWindowText(documentTitle.empty() ? m_appTitle : documentTitle + L" - " + m_appTitle);
}

void CFrameWindow::RecalcLayout()
{
    if (!m_hWnd) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    // The last bar made is laid out first: the status bar spans the whole width.
    for (auto bar = m_controlBars.rbegin(); bar != m_controlBars.rend(); ++bar) {
        if (!(*bar)->IsVisible()) continue;
        const int thickness = (*bar)->CalcThickness();
        RECT place = client;
        switch ((*bar)->GetDockSide()) {
        case DockSide::Top: place.bottom = client.top = std::min(client.bottom, client.top + thickness); break;
        case DockSide::Bottom: place.top = client.bottom = std::max(client.top, client.bottom - thickness); break;
        case DockSide::Left: place.right = client.left = std::min(client.right, client.left + thickness); break;
        case DockSide::Right: place.left = client.right = std::max(client.left, client.right - thickness); break;
        }
        MoveWindow((*bar)->GetSafeHwnd(), place.left, place.top, place.right - place.left, place.bottom - place.top,
                   TRUE);
    }
    if (m_view && m_view->GetSafeHwnd())
        MoveWindow(m_view->GetSafeHwnd(), client.left, client.top, client.right - client.left,
                   client.bottom - client.top, TRUE);
}

void CFrameWindow::SetMessageText(const std::wstring& text)
{
    if (CStatusBar* bar = GetStatusBar(); bar && bar->GetSafeHwnd()) bar->SetWindowText(text);
}

void CFrameWindow::SetMessageText(UINT id)
{
    SetMessageText(id == IDS_IDLE_MESSAGE && !m_idleText.empty() ? m_idleText : CommandStringPart(id, 0));
}

void CFrameWindow::SetIdleText(const std::wstring& text)
{
    m_idleText = text;
    SetMessageText(IDS_IDLE_MESSAGE);
}

std::vector<CCommandTarget*> CFrameWindow::CommandRoute() const
{
    std::vector<CCommandTarget*> route{const_cast<CFrameWindow*>(this)};
    if (m_view) route.push_back(m_view.get());
    if (m_document) route.push_back(m_document);
    if (CApplication* application = CApplication::Get()) route.push_back(application);
    return route;
}

bool CFrameWindow::RouteCommand(UINT id)
{
    CCommandState check = CCommandState::ForCheck(id);
    RouteUpdate(check);
    // A disabled command is not carried out, however it was given.
    if (!check.IsEnabled()) return true;
    for (CCommandTarget* target : CommandRoute()) {
        if (target->HandleCommand(id)) return true;
    }
    return false;
}

void CFrameWindow::RouteUpdate(CCommandState& state)
{
    const std::vector<CCommandTarget*> route = CommandRoute();
    for (CCommandTarget* target : route) {
        if (target->HandleUpdate(state)) return;
    }
    const bool handled = std::any_of(route.begin(), route.end(),
                                     [&state](CCommandTarget* target) { return target->HasCommand(state.GetId()); });
    state.Enable(handled);
}

void CFrameWindow::UpdateControlBars()
{
    for (CControlBar* bar : m_controlBars) {
        if (bar->IsVisible()) bar->UpdateCommandStates(*this);
    }
}

bool CFrameWindow::PreTranslateMessage(MSG& message)
{
    if (!m_accelerators || !m_hWnd) return false;
    if (message.hwnd != m_hWnd && !IsChild(m_hWnd, message.hwnd)) return false;
    return TranslateAcceleratorW(m_hWnd, m_accelerators, &message) != 0;
}

void CFrameWindow::AddControlBar(CControlBar& bar)
{
    m_controlBars.push_back(&bar);
}

void CFrameWindow::RemoveControlBar(CControlBar& bar)
{
    m_controlBars.erase(std::remove(m_controlBars.begin(), m_controlBars.end(), &bar), m_controlBars.end());
}

CControlBar* CFrameWindow::GetControlBar(UINT id) const
{
    for (CControlBar* bar : m_controlBars) {
        if (bar->GetBarId() == id) return bar;
    }
    return nullptr;
}

void CFrameWindow::DockControlBar(CControlBar& bar)
{
    DockControlBar(bar, bar.GetDockSide());
}

void CFrameWindow::DockControlBar(CControlBar& bar, DockSide side)
{
    if (bar.CanDock(side) && (m_dockingSides & AlignBitOf(side))) bar.SetDockSide(side);
    RecalcLayout();
}

void CFrameWindow::ShowControlBar(CControlBar& bar, bool show)
{
    ShowWindow(bar.GetSafeHwnd(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

bool CFrameWindow::IsControlBarWindow(HWND window) const
{
    return std::any_of(m_controlBars.begin(), m_controlBars.end(),
                       [window](CControlBar* bar) { return bar->GetSafeHwnd() == window; });
}

void CFrameWindow::OnToggleControlBar(UINT id)
{
    if (CControlBar* bar = GetControlBar(id)) ShowControlBar(*bar, !bar->IsVisible());
}

void CFrameWindow::OnUpdateControlBarMenu(CCommandState& state)
{
    CControlBar* bar = GetControlBar(state.GetId());
    state.Enable(bar != nullptr);
    state.SetCheck(bar && bar->IsVisible());
}

LRESULT CFrameWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (Default(message, wParam, lParam) == -1) return -1;
        return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_SIZE:
        Default(message, wParam, lParam);
        RecalcLayout();
        return 0;
    case WM_COMMAND:
        if (OnCommandMessage(wParam, lParam)) return 0;
        break;
    case WM_SYSCOMMAND:
        // Commands that the program put into the window menu itself.
        if (wParam < 0xF000 && RouteCommand(static_cast<UINT>(wParam))) return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) return result;
        break;
    }
    case WM_INITMENU:
        Default(message, wParam, lParam);
        OnInitMenu(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        Default(message, wParam, lParam);
        if (!HIWORD(lParam)) UpdateMenuItems(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_SETFOCUS:
        if (m_view && m_view->GetSafeHwnd()) {
            SetFocus(m_view->GetSafeHwnd());
            return 0;
        }
        break;
    default: break;
    }
    return Default(message, wParam, lParam);
}

bool CFrameWindow::OnCommandMessage(WPARAM wParam, LPARAM lParam)
{
    const auto source = reinterpret_cast<HWND>(lParam);
    // Menus and accelerators give no window; a toolbar button gives its bar.
    if (source && !IsControlBarWindow(source)) return false;
    return RouteCommand(LOWORD(wParam));
}

bool CFrameWindow::OnNotify(NMHDR& header, LRESULT& result)
{
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        m_toolTipText = CommandStringPart(static_cast<UINT>(header.idFrom), 1);
        info.lpszText = m_toolTipText.data();
        info.hinst = nullptr;
        return true;
    }
    if (header.code == TBN_HOTITEMCHANGE) {
        CControlBar* bar = GetControlBar(static_cast<UINT>(header.idFrom));
        if (!bar || !(bar->GetBarStyle() & kBarFlyBy)) return false;
        const auto& hot = reinterpret_cast<const NMTBHOTITEM&>(header);
        if (hot.dwFlags & HICF_LEAVING)
            SetMessageText(IDS_IDLE_MESSAGE);
        else
            SetMessageText(static_cast<UINT>(hot.idNew));
        result = 0;
        return true;
    }
    if (m_view && header.hwndFrom == m_view->GetSafeHwnd()) return m_view->OnNotifyReflect(header, result);
    return false;
}

void CFrameWindow::UpdateMenuItems(HMENU popup)
{
    for (int index = 0; index < GetMenuItemCount(popup); ++index) {
        const UINT id = GetMenuItemID(popup, index);
        // Separators (0) and nested popups (-1) have nothing to update.
        if (id == 0 || id == static_cast<UINT>(-1)) continue;
        const int countBefore = GetMenuItemCount(popup);
        CCommandState state = CCommandState::ForMenuItem(popup, static_cast<UINT>(index), id);
        RouteUpdate(state);
        // An update that rewrote a run of items (the recent files) moves on past them.
        index += GetMenuItemCount(popup) - countBefore;
    }
}

void CFrameWindow::OnMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && !menu) {
        SetMessageText(IDS_IDLE_MESSAGE);
    } else if (flags & (MF_POPUP | MF_SEPARATOR)) {
        SetMessageText(std::wstring());
    } else {
        SetMessageText(item);
    }
}
