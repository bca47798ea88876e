#include "framework/StatusBar.h"

#include "framework/FrameworkIds.h"
#include "framework/ResourceText.h"
#include "framework/UniqueHandle.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// Space beside an indicator's text inside its pane.
constexpr int kPanePadding = 12;

int LockKeyOf(UINT indicator)
{
    switch (indicator) {
    case ID_INDICATOR_CAPS: return VK_CAPITAL;
    case ID_INDICATOR_NUM: return VK_NUMLOCK;
    case ID_INDICATOR_SCRL: return VK_SCROLL;
    default: return 0;
    }
}

} // namespace

bool CStatusBar::Create(CFrameWindow& frame, DWORD style, UINT id)
{
    return CreateBar(frame, STATUSCLASSNAMEW, SBARS_SIZEGRIP, style, id);
}

bool CStatusBar::SetIndicators(std::span<const UINT> ids)
{
    m_indicators.assign(ids.begin(), ids.end());
    m_indicatorTexts.clear();
    m_paneWidths.clear();
    CWindowDC dc(m_hWnd);
    if (!dc) return false;
    const HGDIOBJ oldFont = SelectObject(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    for (UINT id : m_indicators) {
        std::wstring text = id == 0 ? std::wstring() : LoadResourceString(id);
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
        m_paneWidths.push_back(extent.cx + kPanePadding);
        m_indicatorTexts.push_back(std::move(text));
    }
    SelectObject(dc.Get(), oldFont);
    LayOutPanes();
    return true;
}

std::wstring CStatusBar::GetPaneText(int pane) const
{
    const auto length = LOWORD(SendMessage(SB_GETTEXTLENGTHW, static_cast<WPARAM>(pane)));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessage(SB_GETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

void CStatusBar::LayOutPanes()
{
    if (m_indicators.empty()) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    int indicatorsWidth = GetSystemMetrics(SM_CXVSCROLL);
    for (std::size_t pane = 1; pane < m_paneWidths.size(); ++pane) indicatorsWidth += m_paneWidths[pane];
    std::vector<int> rightEdges;
    int edge = std::max<int>(0, client.right - indicatorsWidth);
    rightEdges.push_back(edge);
    for (std::size_t pane = 1; pane < m_paneWidths.size(); ++pane) {
        edge += m_paneWidths[pane];
        rightEdges.push_back(edge);
    }
    rightEdges.back() = -1;
    SendMessage(SB_SETPARTS, rightEdges.size(), reinterpret_cast<LPARAM>(rightEdges.data()));
}

void CStatusBar::SetPaneText(int pane, const std::wstring& text)
{
    if (GetPaneText(pane) == text) return;
    SendMessage(SB_SETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text.c_str()));
}

int CStatusBar::CalcThickness()
{
    // The control knows its own height; it takes it on WM_SIZE.
    SendMessage(WM_SIZE);
    RECT rect{};
    GetWindowRect(m_hWnd, &rect);
    return rect.bottom - rect.top;
}

void CStatusBar::UpdateCommandStates(CFrameWindow&)
{
    for (std::size_t pane = 1; pane < m_indicators.size(); ++pane) {
        const int key = LockKeyOf(m_indicators[pane]);
        if (key == 0) continue;
        const bool on = (GetKeyState(key) & 1) != 0;
        SetPaneText(static_cast<int>(pane), on ? m_indicatorTexts[pane] : std::wstring());
    }
}

LRESULT CStatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Default(message, wParam, lParam);
    if (message == WM_SIZE) LayOutPanes();
    return result;
}
