#include "app/MainFrame.h"

#include "app/ToolCommands.h"
#include "app/WindowPlacement.h"
#include "framework/Application.h"
#include "framework/CommandState.h"
#include "framework/ResourceText.h"
#include "framework/UniqueHandle.h"
#include "framework/View.h"
#include "resource.h"
#include "view/EntryCopyFolder.h"
#include "view/ShellOperations.h"
#include "view/TarnwickDoc.h"

#include <commctrl.h>

#include <array>

namespace {

constexpr int kWidth = 550;
constexpr int kHeight = 350;
constexpr SIZE kButtonImageSize{64, 40};
constexpr COLORREF kTransparentColour = RGB(252, 108, 108);

constexpr DWORD kToolBarStyle = WS_CHILD | WS_VISIBLE | kBarAlignTop | kBarBorderBottom | kBarGripper | kBarToolTips |
                                kBarFlyBy | kBarSizeDynamic;
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | kBarAlignBottom | kBarBorderTop;
constexpr std::array<UINT, 4> kIndicators{0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

std::wstring MenuItemText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
    return text;
}

// The last top-level popup whose caption is `caption`.
HMENU FindPopup(HMENU menu, const std::wstring& caption)
{
    HMENU found = nullptr;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        if (MenuItemText(menu, position) == caption) found = GetSubMenu(menu, position);
    }
    return found;
}

} // namespace

CMainFrame::CMainFrame()
{
    MapCommand(ID_SEND_EMAIL, [] { SendEmail(); });
    MapTool(ID_TOOLS_FACTS, ShowFileFacts);
    MapTool(ID_TOOLS_CHECK, CheckHelpFile);
    MapTool(ID_TOOLS_PROJECT, ExportProject);
    MapTool(ID_TOOLS_SITE, ExportWebSite);
}

void CMainFrame::MapTool(UINT id, void (*tool)(const std::wstring& file))
{
    const auto shownFile = [this]() -> std::wstring {
        const auto* document = dynamic_cast<const CTarnwickDoc*>(GetActiveDocument());
        return document && document->m_engine.GetRoot() ? document->ShownFile() : std::wstring();
    };
    MapCommand(id, [shownFile, tool] {
        if (const std::wstring file = shownFile(); !file.empty()) tool(file);
    });
    MapUpdate(id, [shownFile](CCommandState& state) { state.Enable(!shownFile().empty()); });
}

void CMainFrame::PreCreateWindow(CREATESTRUCTW& cs)
{
    CFrameWindow::PreCreateWindow(cs);
    CWindowDC screen(nullptr);
    const int screenWidth = GetDeviceCaps(screen.Get(), HORZRES);
    const int screenHeight = GetDeviceCaps(screen.Get(), VERTRES);
    cs.cx = kWidth;
    cs.cy = kHeight;
    cs.x = (screenWidth - kWidth) / 2;
    cs.y = (screenHeight - kHeight) / 2;
    CApplication* application = CApplication::Get();
    const auto kept = application ? LoadWindowPlacement(application->GetProfile()) : std::nullopt;
    if (!kept) return;
    cs.x = kept->normal.left;
    cs.y = kept->normal.top;
    cs.cx = kept->normal.right - kept->normal.left;
    cs.cy = kept->normal.bottom - kept->normal.top;
    if (kept->maximised) cs.style |= WS_MAXIMIZE;
}

int CMainFrame::OnCreate(const CREATESTRUCTW& cs)
{
    if (CFrameWindow::OnCreate(cs) == -1) return -1;
    if (!m_toolBar.CreateEx(*this, TBSTYLE_FLAT, kToolBarStyle, IDW_TOOLBAR) || !m_toolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!m_statusBar.Create(*this, kStatusBarStyle, IDW_STATUS_BAR) || !m_statusBar.SetIndicators(kIndicators))
        return -1;
    if (!InstallButtonImages()) return -1;
    LabelButtons();
    FitButtonsToLabels();
    m_toolBar.EnableDocking(kBarAlignAny);
    EnableDocking(kBarAlignAny);
    DockControlBar(m_toolBar);
    return 0;
}

bool CMainFrame::InstallButtonImages()
{
    CGdiObject bitmap(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_TOOLBAR_256), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) return false;
    CImageListHandle images(
        ImageList_Create(kButtonImageSize.cx, kButtonImageSize.cy, ILC_COLORDDB | ILC_MASK, 0, 0));
    if (!images) return false;
    if (ImageList_AddMasked(images.Get(), static_cast<HBITMAP>(bitmap.Get()), kTransparentColour) < 0) return false;
    ImageList_SetBkColor(images.Get(), CLR_NONE);
    m_toolBar.SetImageList(std::move(images));
    return true;
}

void CMainFrame::LabelButtons()
{
    // The label is the last part of the command's string, the short name.
    for (int index = 0; index < m_toolBar.GetButtonCount(); ++index) {
        const UINT id = m_toolBar.GetItemId(index);
        if (id == 0) continue;
        const std::wstring text = LoadResourceString(id);
        const std::size_t lastBreak = text.rfind(L'\n');
        if (lastBreak == std::wstring::npos) continue;
        m_toolBar.SetButtonText(index, text.substr(lastBreak + 1));
    }
}

void CMainFrame::FitButtonsToLabels()
{
    m_toolBar.SendMessage(TB_AUTOSIZE);
    const RECT first = m_toolBar.GetItemRect(0);
    m_toolBar.SetSizes({first.right - first.left, first.bottom - first.top}, kButtonImageSize);
}

void CMainFrame::OnClose()
{
    if (CApplication* application = CApplication::Get()) SaveWindowPlacement(application->GetProfile(), m_hWnd);
    RemoveEntryCopies();
    CFrameWindow::OnClose();
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CFrameWindow::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE && GetActiveView()) m_columns.OnFrameSized(GetActiveView()->GetSafeHwnd(), wParam == SIZE_MAXIMIZED);
    return result;
}

void CMainFrame::OnInitMenu(HMENU menu)
{
    CFrameWindow::OnInitMenu(menu);
    const std::wstring helpCaption = LoadResourceString(IDS_HELP_MENU);
    const std::wstring tipText = LoadResourceString(IDS_TIP_COMMAND);
    if (HMENU help = FindPopup(menu, helpCaption)) {
        // Once per menu, however often it opens.
        if (MenuItemText(help, 0) == tipText) return;
        InsertMenuW(help, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        InsertMenuW(help, 0, MF_BYPOSITION | MF_STRING, ID_SHOW_TIP, tipText.c_str());
        return;
    }
    // A menu without a help popup (the window menu) gets one holding the tip command.
    CMenuHandle popup(CreatePopupMenu());
    if (!popup || !AppendMenuW(popup.Get(), MF_STRING, ID_SHOW_TIP, tipText.c_str())) return;
    if (AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.Get()), helpCaption.c_str()))
        popup.Release();
    DrawMenuBar(m_hWnd);
}
