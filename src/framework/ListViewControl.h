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
};
