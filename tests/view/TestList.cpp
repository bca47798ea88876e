#include "TestList.h"

#include <commctrl.h>

TestList::TestList()
{
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    // The list's notifications go to a window of this process, as the view's go to its frame.
    m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    m_list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0, 600, 400,
                             m_parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int column = 0; column < 4; ++column) Control().InsertColumn(column, L"", LVCFMT_LEFT);
}

void TestList::Add(const TestRow& row)
{
    const int index = Control().InsertItem(Control().GetItemCount(), row.name.c_str(), row.image, row.itemData);
    Control().SetItemText(index, 1, row.size.c_str());
    Control().SetItemText(index, 2, row.type.c_str());
    Control().SetItemText(index, 3, row.path.c_str());
}

void TestList::AddNamed(const std::vector<std::wstring>& names)
{
    for (std::size_t index = 0; index < names.size(); ++index) Add({names[index], L"1", L"", L"", static_cast<std::intptr_t>(index), 0});
}

TestRow TestList::Row(int index) const
{
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const CListViewControl list = Control();
    return {list.GetItemText(index, 0), list.GetItemText(index, 1), list.GetItemText(index, 2), list.GetItemText(index, 3),
            list.GetItemData(index), item.iImage};
}

std::vector<std::wstring> TestList::Column(int column) const
{
    std::vector<std::wstring> texts;
    for (int row = 0; row < Control().GetItemCount(); ++row) texts.push_back(Control().GetItemText(row, column));
    return texts;
}

std::vector<std::intptr_t> TestList::ItemData() const
{
    std::vector<std::intptr_t> data;
    for (int row = 0; row < Control().GetItemCount(); ++row) data.push_back(Control().GetItemData(row));
    return data;
}
