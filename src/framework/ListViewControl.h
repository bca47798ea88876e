// The messages of a list-view common control, on a window that someone else owns.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

class CListViewControl {
public:
    explicit CListViewControl(HWND window) : m_hWnd(window) {}

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The same control, its requests handed straight to the control's own window
    // procedure instead of going through SendMessage and any procedure that
    // subclasses it (the view's does, for its creation). For bulk work on rows,
    // on the control's own thread: a sort or a refill makes hundreds of thousands
    // of requests, and under Wine each detour costs about as much as the
    // control's own work. Only for requests that no subclass needs to see.
    CListViewControl Direct() const;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    void SetImageList(HIMAGELIST images, int which);
    void SetViewType(DWORD type);
    void SetExtendedStyle(DWORD style);
    void InsertColumn(int index, const std::wstring& heading, int format);
    void SetColumnWidth(int index, int width);

    int GetItemCount() const;
    // Texts are NUL-terminated; the control copies them.
    int InsertItem(int index, const wchar_t* text, int image, std::intptr_t itemData);
    void SetItemText(int row, int column, const wchar_t* text);
    std::wstring GetItemText(int row, int column) const;
    std::intptr_t GetItemData(int row) const;
    void DeleteAllItems();

    int GetSelectedCount() const;
    int GetNextSelected(int after) const;
    void SelectAll();

    void SetRedraw(bool redraw);
    void RedrawNow();

private:
    HWND m_hWnd;
    WNDPROC m_procedure = nullptr; // set: requests go straight to it
};
