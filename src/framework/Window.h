// A window or control whose messages go to a C++ object: the object is attached
// before the window's first message and detached after its last.
#pragma once

#include <windows.h>

#include <string>

class CWindow {
public:
    CWindow() = default;
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    bool DestroyWindow();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text);

    // The object attached to `window`; null for a window of no object's.
    static CWindow* FromHandle(HWND window);

protected:
    // Creates a window of any class; `this` is attached before WM_NCCREATE.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // What the window's class does with the message.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone and the object detached.
    virtual void OnWindowDestroyed() {}

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    LRESULT GuardedWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);
    void Detach();

    WNDPROC m_classProc = nullptr;
};

// The class that frame windows are made of, registered on first use.
const wchar_t* FrameWindowClassName();
