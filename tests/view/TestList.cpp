#include "TestList.h"

#include <commctrl.h>

TestList::TestList()
{
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    // The list's notifications go to a window of this process, as the view's go to its frame.
    m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    m_list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0,
                             600, 400, m_parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    CListViewControl list(m_list);
    const wchar_t* headings[] = {L"文件名称", L"大小", L"类型", L"路径"};
    for (int column = 0; column < 4; ++column) list.InsertColumn(column, headings[column], LVCFMT_LEFT);
}

TestList::~TestList()
{
    DestroyWindow(m_parent);
}

void TestList::Add(const TestRow& row)
{
    CListViewControl list(m_list);
    const int index = list.InsertItem(list.GetItemCount(), row.name.c_str(), row.image, row.itemData);
    list.SetItemText(index, 1, row.size.c_str());
    list.SetItemText(index, 2, row.type.c_str());
    list.SetItemText(index, 3, row.path.c_str());
}

void TestList::AddNamed(const std::vector<std::wstring>& names)
{
    for (std::size_t index = 0; index < names.size(); ++index)
        Add({names[index], L"1", L"", L"", static_cast<std::intptr_t>(index), 0});
}

TestRow TestList::Row(int index) const
{
    CListViewControl list(m_list);
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return {list.GetItemText(index, 0), list.GetItemText(index, 1), list.GetItemText(index, 2),
            list.GetItemText(index, 3), list.GetItemData(index), item.iImage};
}

std::vector<std::wstring> TestList::Column(int column) const
{
    CListViewControl list(m_list);
    std::vector<std::wstring> texts;
    for (int row = 0; row < list.GetItemCount(); ++row) texts.push_back(list.GetItemText(row, column));
    return texts;
}

std::vector<std::intptr_t> TestList::ItemData() const
{
    CListViewControl list(m_list);
    std::vector<std::intptr_t> data;
    for (int row = 0; row < list.GetItemCount(); ++row) data.push_back(list.GetItemData(row));
    return data;
}

void TestList::SetState(int row, UINT state, UINT mask)
{
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

UINT TestList::State(int row, UINT mask) const
{
    return static_cast<UINT>(SendMessageW(m_list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
}
