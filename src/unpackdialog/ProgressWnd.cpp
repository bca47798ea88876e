#include "unpackdialog/ProgressWnd.h"

#include "framework/Application.h"
#include "framework/FrameWindow.h"

#include <commctrl.h>

#include <array>
#include <cstdarg>
#include <cstdio>
#include <utility>

namespace {

const wchar_t kSettingsSection[] = L"设置";
const wchar_t kClassName[] = L"TarnwickProgress";
constexpr int kCreationWidth = 390;
constexpr int kCreationHeight = 130;

const wchar_t* ProgressWindowClass()
{
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_APPSTARTING);
        // A system colour brush: nothing to release.
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass);
    }();
    return registered ? kClassName : nullptr;
}

HWND MainWindow()
{
    const CApplication* application = CApplication::Get();
    const CFrameWindow* frame = application ? application->GetMainWindow() : nullptr;
    return frame ? frame->GetSafeHwnd() : nullptr;
}

CProfile* Settings()
{
    CApplication* application = CApplication::Get();
    return application ? &application->GetProfile() : nullptr;
}

HFONT MessageFont()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return nullptr;
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id)
{
    return CreateWindowExW(0, className, text, style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void MoveControl(HWND control, const RECT& place)
{
    MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

// Over the owner while it is shown, else in the work area of the monitor that
// shows the main window; inside that work area either way.
void CentreWindow(HWND window)
{
    const HWND owner = GetWindow(window, GW_OWNER);
    const bool overOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);
    const HWND reference = overOwner ? owner : MainWindow();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(reference ? reference : window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT area = monitor.rcWork;
    RECT centre = area;
    if (overOwner) GetWindowRect(owner, &centre);

    RECT own{};
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = (centre.left + centre.right - width) / 2;
    int top = (centre.top + centre.bottom - height) / 2;
    if (left + width > area.right) left = area.right - width;
    if (left < area.left) left = area.left;
    if (top + height > area.bottom) top = area.bottom - height;
    if (top < area.top) top = area.top;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Selects a font into a device context for as long as the object lives.
class CFontSelection {
public:
    CFontSelection(HDC dc, HGDIOBJ font) : m_dc(dc), m_previous(SelectObject(dc, font)) {}
    ~CFontSelection() { SelectObject(m_dc, m_previous); }
    CFontSelection(const CFontSelection&) = delete;
    CFontSelection& operator=(const CFontSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

class CWindowDC {
public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CWindowDC()
    {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

struct LabelAndButton {
    RECT text;
    SIZE button;
};

// Without a device context nothing can be measured: one line of 16 pixels and
// a button of 60 by 24 keep the layout usable.
LabelAndButton MeasureLabelAndButton(HWND window, HGDIOBJ font, int lines, int width, const std::wstring& cancelText)
{
    LabelAndButton measured{{10, 10, width - 20, 120}, {60, 24}};
    const int cxEdge = GetSystemMetrics(SM_CXEDGE);
    const int cyEdge = GetSystemMetrics(SM_CYEDGE);
    CWindowDC dc(window);
    if (!dc.Get()) {
        measured.text.bottom = measured.text.top + 16 * lines;
    } else {
        CFontSelection selection(dc.Get(), font);
        std::wstring sample = L"M";
        for (int line = 1; line < lines; ++line) sample += L"\nM";
        DrawTextW(dc.Get(), sample.c_str(), -1, &measured.text, DT_CALCRECT | DT_NOCLIP | DT_NOPREFIX);
        const std::wstring buttonText = cancelText + L"  ";
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), buttonText.c_str(), static_cast<int>(buttonText.size()), &extent);
        measured.button = {extent.cx + 4 * cxEdge, extent.cy + 3 * cyEdge};
    }
    measured.text.right = measured.text.left + width;
    return measured;
}

std::wstring FormatLabel(const wchar_t* format, va_list arguments)
{
    // The last element is never written, so the text always ends inside the buffer.
    std::array<wchar_t, CProgressWnd::kLabelCapacity> buffer{};
    _vsnwprintf(buffer.data(), buffer.size() - 1, format, arguments);
    std::wstring text(buffer.data());
    // A cut may have split a surrogate pair; half a character is not shown.
    if (!text.empty() && IS_HIGH_SURROGATE(text.back())) text.pop_back();
    return text;
}

} // namespace

CProgressWnd::CProgressWnd(HWND owner, const std::wstring& title, bool smooth) : m_title(title)
{
    Create(owner, title, smooth);
}

CProgressWnd::~CProgressWnd()
{
    DestroyWindow();
}

bool CProgressWnd::Create(HWND owner, const std::wstring& title, bool smooth)
{
    const wchar_t* className = ProgressWindowClass();
    m_font.Reset(MessageFont());
    if (!owner) owner = MainWindow();
    if (!className || !CreateEx(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, className, title.c_str(), WS_POPUP | WS_CAPTION,
                                0, 0, kCreationWidth, kCreationHeight, owner, nullptr))
        return false;
    if (!CreateControls(smooth)) return false;
    LayOutControls(m_textLines, kCreationWidth);
    RestorePosition();
    // With the keyboard, so that Escape cancels at once.
    ShowWindow(m_hWnd, SW_SHOW);
    SetFocus(m_button);
    return true;
}

bool CProgressWnd::CreateControls(bool smooth)
{
    m_label = CreateChild(m_hWnd, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, kLabelId);
    if (!m_label) return false;
    const DWORD barStyle = WS_CHILD | WS_VISIBLE | (smooth ? PBS_SMOOTH : 0);
    m_bar = CreateChild(m_hWnd, PROGRESS_CLASSW, L"", barStyle, kBarId);
    if (!m_bar) return false;
    m_button = CreateChild(m_hWnd, L"BUTTON", m_cancelText.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, kCancelId);
    if (!m_button) return false;
    ::SendMessageW(m_button, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
    ::SendMessageW(m_label, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
    return true;
}

bool CProgressWnd::DestroyWindow()
{
    SavePosition();
    return CWindow::DestroyWindow();
}

void CProgressWnd::LayOutControls(int lines, int width)
{
    const LabelAndButton measured = MeasureLabelAndButton(m_hWnd, m_font.Get(), lines, width, m_cancelText);
    const RECT text = measured.text;
    const int cyEdge = GetSystemMetrics(SM_CYEDGE);
    const RECT cancel{text.right - measured.button.cx, text.bottom + 10, text.right,
                      text.bottom + 10 + measured.button.cy};
    const RECT bar{text.left, cancel.top + cyEdge, cancel.left - 10, cancel.bottom - cyEdge};

    RECT outer{};
    RECT client{};
    GetWindowRect(m_hWnd, &outer);
    GetClientRect(m_hWnd, &client);
    const int clientWidth = (text.right - text.left) + 20;
    const int clientHeight = (text.bottom - text.top) + measured.button.cy + 30;
    const int outerWidth = clientWidth + (outer.right - outer.left) - client.right;
    const int outerHeight = clientHeight + (outer.bottom - outer.top) - client.bottom;
    MoveWindow(m_hWnd, outer.left, outer.top, outerWidth, outerHeight, TRUE);
    MoveControl(m_bar, bar);
    MoveControl(m_button, cancel);
    MoveControl(m_label, text);
}

void CProgressWnd::RestorePosition()
{
    const CProfile* settings = Settings();
    const int x = settings ? settings->GetInt(kSettingsSection, L"X", -1) : -1;
    const int y = settings ? settings->GetInt(kSettingsSection, L"Y", -1) : -1;
    const bool onScreen = x >= 0 && x < GetSystemMetrics(SM_CXSCREEN) && y >= 0 && y < GetSystemMetrics(SM_CYSCREEN);
    if (onScreen)
        SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        CentreWindow(m_hWnd);
}

void CProgressWnd::SavePosition()
{
    CProfile* settings = Settings();
    if (!m_hWnd || !settings) return;
    RECT place{};
    GetWindowRect(m_hWnd, &place);
    settings->WriteInt(kSettingsSection, L"X", place.left);
    settings->WriteInt(kSettingsSection, L"Y", place.top);
}

void CProgressWnd::ShowIfHidden()
{
    if (!m_hWnd || IsWindowVisible(m_hWnd)) return;
    ShowWindow(m_hWnd, SW_SHOWNA);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
}

void CProgressWnd::HideIfShown()
{
    if (m_hWnd && IsWindowVisible(m_hWnd)) ShowWindow(m_hWnd, SW_HIDE);
}

void CProgressWnd::SetRange(int lower, int upper, int step)
{
    if (!m_hWnd) return;
    ::SendMessageW(m_bar, PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
    m_upper = upper;
    m_lower = lower;
    m_step = step;
    m_barFill = -1; // the bar's position is sent again at the next move
    ::SendMessageW(m_bar, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

int CProgressWnd::StepIt()
{
    if (!m_hWnd) return m_previousPosition;
    ShowIfHidden();
    return SetPos(m_previousPosition + m_step);
}

int CProgressWnd::SetPos(int position)
{
    if (!m_hWnd) return m_previousPosition;
    ShowIfHidden();
    const int previous = std::exchange(m_previousPosition, position);
    const int percentage = m_upper > m_lower ? static_cast<int>(position * 100LL / (m_upper - m_lower)) : 0;
    // Only a new whole percentage touches the caption: redrawing it per row costs.
    if (percentage != m_previousPercentage) {
        m_previousPercentage = percentage;
        SetWindowText(m_title + L" [" + std::to_wstring(percentage) + L"%]");
    }
    MoveBar(position);
    return previous;
}

int CProgressWnd::BarFill(int position) const
{
    RECT client{};
    GetClientRect(m_bar, &client);
    return m_upper > m_lower ? MulDiv(position - m_lower, client.right, m_upper - m_lower) : 0;
}

void CProgressWnd::MoveBar(int position)
{
    // Some bars paint themselves at once on every new position, which can be most of
    // the time of an unpack of small files: a position that would not move the fill
    // by a pixel is not sent.
    const int fill = BarFill(position);
    if (fill == m_barFill) return;
    m_barFill = fill;
    ::SendMessageW(m_bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CProgressWnd::SetLabelText(const wchar_t* format, ...)
{
    if (!m_hWnd) return;
    va_list arguments;
    va_start(arguments, format);
    const std::wstring text = FormatLabel(format, arguments);
    va_end(arguments);
    ::SetWindowTextW(m_label, text.c_str());
}

void CProgressWnd::PumpMessages(bool cancelOnEscape)
{
    if (m_cancelled) return;
    MSG waiting{};
    while (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
        if (cancelOnEscape && waiting.message == WM_CHAR && waiting.wParam == VK_ESCAPE) OnCancel();
        CApplication* application = CApplication::Get();
        const bool dispatched = application ? application->PumpMessage() : GetMessageW(&waiting, nullptr, 0, 0) > 0;
        if (!application && dispatched) {
            TranslateMessage(&waiting);
            DispatchMessageW(&waiting);
        }
        if (!dispatched) {
            // The loop that owns the quit request must still see it.
            PostQuitMessage(0);
            return;
        }
        if (m_cancelled) return;
    }
}

void CProgressWnd::OnCancel()
{
    m_cancelled = true;
    HideIfShown();
    const HWND mainWindow = MainWindow();
    if (mainWindow && IsWindow(mainWindow)) SetForegroundWindow(mainWindow);
}

bool CProgressWnd::OnEraseBkgnd(HDC dc)
{
    CGdiObject brush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    const HGDIOBJ previous = SelectObject(dc, brush.Get());
    RECT clip{};
    GetClipBox(dc, &clip);
    PatBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, PATCOPY);
    SelectObject(dc, previous);
    return true;
}

LRESULT CProgressWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) return OnEraseBkgnd(reinterpret_cast<HDC>(wParam)) ? TRUE : FALSE;
    // Closing the window (Alt+F4) cancels like its button: hidden, it could cancel nothing.
    if ((message == WM_COMMAND && LOWORD(wParam) == kCancelId && HIWORD(wParam) == BN_CLICKED) || message == WM_CLOSE) {
        OnCancel();
        return 0;
    }
    return CWindow::WindowProc(message, wParam, lParam);
}
