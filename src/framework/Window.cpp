#include "framework/Window.h"

#include "framework/FrameworkIds.h"
#include "framework/MessageBox.h"
#include "framework/UniqueHandle.h"

#include <exception>
#include <new>

namespace {

// The object whose window CreateEx is making; the creation hook attaches it.
thread_local CWindow* t_windowBeingCreated = nullptr;

} // namespace

CWindow::~CWindow()
{
    // By now the derived parts are gone, so the window ends with its class's own handling.
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

bool CWindow::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

LRESULT CWindow::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

std::wstring CWindow::GetWindowText() const
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CWindow::SetWindowText(const std::wstring& text)
{
    ::SetWindowTextW(m_hWnd, text.c_str());
}

CWindow* CWindow::FromHandle(HWND window)
{
    // Only windows whose procedure is ours carry an object in their user data.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != &StaticWindowProc) return nullptr;
    return reinterpret_cast<CWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool CWindow::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                       int width, int height, HWND parent, HMENU menuOrId)
{
    CWindow* const outer = std::exchange(t_windowBeingCreated, this);
    CHookHandle hook(SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId()));
    // The object rides along as the creation parameter, so the hook can tell this
    // window from any other that is made first (an input-method window, say).
    HWND window = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                                  GetModuleHandleW(nullptr), this);
    hook.Reset();
    t_windowBeingCreated = outer;
    return window != nullptr && m_hWnd == window;
}

LRESULT CALLBACK CWindow::CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_windowBeingCreated) {
        const auto* creation = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        if (creation->lpcs->lpCreateParams == t_windowBeingCreated) {
            t_windowBeingCreated->Attach(reinterpret_cast<HWND>(wParam));
            t_windowBeingCreated = nullptr;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CWindow::Attach(HWND window)
{
    m_hWnd = window;
    // The user data, not a window property: it is read for every message, and under
    // Wine a property costs a round trip to the server.
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_classProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWindowProc)));
}

void CWindow::Detach()
{
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_classProc));
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CWindow::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(m_classProc, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindow::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* object = reinterpret_cast<CWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!object) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = object->GuardedWindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY && object->m_hWnd == window) {
        object->Detach();
        object->OnWindowDestroyed();
    }
    return result;
}

LRESULT CWindow::GuardedWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // An exception must not unwind through the system's own frames: the command
    // that raised it fails with a message and the program goes on.
    try {
        return WindowProc(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        ShowMessageBox(IDP_OUT_OF_MEMORY, MB_OK | MB_ICONSTOP);
    } catch (const std::exception&) {
        ShowMessageBox(IDP_UNEXPECTED_ERROR, MB_OK | MB_ICONSTOP);
    }
    return 0;
}

const wchar_t* FrameWindowClassName()
{
    static const wchar_t kName[] = L"TarnwickFrame";
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kName;
        return RegisterClassExW(&windowClass);
    }();
    return registered ? kName : nullptr;
}
