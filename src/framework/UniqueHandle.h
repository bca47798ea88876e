// Sole ownership of one Win32 handle, released when the owner goes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

template <typename Traits>
class CUniqueHandle {
public:
    using Handle = typename Traits::Handle;

    CUniqueHandle() = default;
    explicit CUniqueHandle(Handle handle) : m_handle(handle) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Empty(); }
    Handle Release() { return std::exchange(m_handle, Traits::Empty()); }
    void Reset(Handle handle = Traits::Empty())
    {
        const Handle old = std::exchange(m_handle, handle);
        if (old != Traits::Empty()) Traits::Close(old);
    }

private:
    Handle m_handle = Traits::Empty();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { DeleteObject(handle); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { DestroyMenu(handle); }
};
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { RegCloseKey(handle); }
};
struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { ImageList_Destroy(handle); }
};
struct HookTraits {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { UnhookWindowsHookEx(handle); }
};

using CFileHandle = CUniqueHandle<FileHandleTraits>;
using CFindHandle = CUniqueHandle<FindHandleTraits>;
using CGdiObject = CUniqueHandle<GdiObjectTraits>;
using CMenuHandle = CUniqueHandle<MenuTraits>;
using CRegistryKey = CUniqueHandle<RegistryKeyTraits>;
using CImageListHandle = CUniqueHandle<ImageListTraits>;
using CHookHandle = CUniqueHandle<HookTraits>;

// A device context of a window (or of the screen, for a null window), released on destruction.
class CWindowDC {
public:
    enum class Area { Client, Window };
    explicit CWindowDC(HWND window, Area area = Area::Client)
        : m_window(window), m_dc(area == Area::Window ? GetWindowDC(window) : GetDC(window))
    {
    }
    ~CWindowDC()
    {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};
