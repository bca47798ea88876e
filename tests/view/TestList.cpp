#include "TestList.h"

#include "engine/platform/GenericFileTypes.h"
#include "view/ListViewRows.h"

#include <commctrl.h>

TestRow ReadRow(const CListViewControl& list, int index)
{
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    SendMessageW(list.GetSafeHwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return {list.GetItemText(index, 0), list.GetItemText(index, 1), list.GetItemText(index, 2), list.GetItemText(index, 3),
            list.GetItemData(index), item.iImage};
}

using Search = std::pair<const std::function<bool(HWND)>*, HWND>;

static BOOL CALLBACK Visit(HWND window, LPARAM state)
{
    auto& [match, found] = *reinterpret_cast<Search*>(state);
    if ((*match)(window)) found = window;
    return !found;
}

HWND FindThreadWindow(const std::function<bool(HWND)>& match)
{
    Search search{&match, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &Visit, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

bool TitleStartsWith(HWND window, const wchar_t* prefix)
{
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    return std::wstring_view(title).starts_with(prefix);
}

static std::function<void()> g_pending;

static void CALLBACK RunPending(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    g_pending();
}

void WhenTheNextLoopRuns(std::function<void()> action)
{
    g_pending = std::move(action);
    SetTimer(nullptr, 0, 10, &RunPending);
}

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

int TestList::Show(CChmEngine& engine, const std::filesystem::path& chm)
{
    if (FAILED(engine.OpenFile(chm.wstring()))) return -1;
    Control().DeleteAllItems();
    CListViewRows rows(Control());
    CGenericFileTypes types;
    return engine.WalkStorage(rows, types, engine.GetRoot(), L"");
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
