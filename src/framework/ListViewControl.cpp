#include "framework/ListViewControl.h"

#include <vector>

CListViewControl CListViewControl::Direct() const
{
    CListViewControl direct(m_hWnd);
    direct.m_procedure = reinterpret_cast<WNDPROC>(GetClassLongPtrW(m_hWnd, GCLP_WNDPROC));
    return direct;
}

LRESULT CListViewControl::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (m_procedure) return CallWindowProcW(m_procedure, m_hWnd, message, wParam, lParam);
    return SendMessageW(m_hWnd, message, wParam, lParam);
}

void CListViewControl::SetImageList(HIMAGELIST images, int which)
{
    Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images));
}

void CListViewControl::SetViewType(DWORD type)
{
    const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | type);
}

void CListViewControl::SetExtendedStyle(DWORD style)
{
    // A mask of 0 puts every extended-style bit to the value given.
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

void CListViewControl::InsertColumn(int index, const std::wstring& heading, int format)
{
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    column.iSubItem = index;
    Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void CListViewControl::SetColumnWidth(int index, int width)
{
    Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0));
}

int CListViewControl::GetItemCount() const
{
    return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0));
}

int CListViewControl::InsertItem(int index, const wchar_t* text, int image, std::intptr_t itemData)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text);
    item.iImage = image;
    item.lParam = static_cast<LPARAM>(itemData);
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void CListViewControl::SetItemText(int row, int column, const wchar_t* text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text);
    Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring CListViewControl::GetItemText(int row, int column) const
{
    // The control says how much it copied, not how long the text is: grow until it fits.
    for (std::size_t capacity = 256;; capacity *= 2) {
        std::vector<wchar_t> buffer(capacity, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(capacity);
        const auto length = static_cast<std::size_t>(
            Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < capacity) return std::wstring(buffer.data(), length);
    }
}

std::intptr_t CListViewControl::GetItemData(int row) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<std::intptr_t>(item.lParam);
}

void CListViewControl::DeleteAllItems()
{
    Send(LVM_DELETEALLITEMS, 0, 0);
}

int CListViewControl::GetSelectedCount() const
{
    return static_cast<int>(Send(LVM_GETSELECTEDCOUNT, 0, 0));
}

int CListViewControl::GetNextSelected(int after) const
{
    return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
}

void CListViewControl::SelectAll()
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void CListViewControl::SetRedraw(bool redraw)
{
    Send(WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
}

void CListViewControl::RedrawNow()
{
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
