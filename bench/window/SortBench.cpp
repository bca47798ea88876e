// Sorts the rows of a large help file in the real window by header clicks, as
// a user does, and prints how long each click takes: names and sizes, each
// ascending and then descending, then names again from the size order.
// A figure, not a test: nothing here fails on time.
#include "BenchWindow.h"
#include "resource.h"
#include "view/ColumnSort.h"
#include "view/TarnwickView.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::wstring CellText(HWND list, int row, int column)
{
    wchar_t text[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

int CompareCells(const std::wstring& left, const std::wstring& right, int column)
{
    if (column != 1) return CompareAnsiText(ToAnsiText(left), ToAnsiText(right));
    const unsigned long long a = std::stoull(left), b = std::stoull(right);
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Whether the click left the column in the wanted order, so that a fast wrong sort shows.
bool InOrder(HWND list, int column, bool ascending)
{
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::wstring previous = rows > 0 ? CellText(list, 0, column) : L"";
    for (int row = 1; row < rows; ++row) {
        std::wstring current = CellText(list, row, column);
        const int order = CompareCells(previous, current, column);
        if (ascending ? order > 0 : order < 0) return false;
        previous = std::move(current);
    }
    return true;
}

void ClickHeader(HWND list, int column)
{
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        fwprintf(stderr, L"usage: sort_bench HELPFILE\n");
        return 2;
    }
    CBenchWindow window;
    if (!window.Open(argv[1])) return 1;
    const HWND list = window.List();
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    wprintf(L"%d rows\n", rows);

    struct Click {
        int column;
        bool ascending;
        const wchar_t* what;
    };
    const Click clicks[] = {{0, true, L"name, ascending"},
                            {0, false, L"name, descending"},
                            {1, true, L"size, ascending"},
                            {1, false, L"size, descending"},
                            // The walk lists names nearly in order; after a size sort they are not.
                            {0, true, L"name, from size order"}};
    for (const Click& click : clicks) {
        const LARGE_INTEGER start = Now();
        ClickHeader(list, click.column);
        const double seconds = SecondsSince(start);
        wprintf(L"%-22ls %.3f s (target < 1 s), %ls\n", click.what, seconds,
                InOrder(list, click.column, click.ascending) ? L"in order" : L"NOT IN ORDER");
    }
    // Select all, as the menu sends it, with what waits in the queue afterwards.
    const LARGE_INTEGER start = Now();
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(ID_SELECT_ALL, 0), 0);
    PumpPending();
    wprintf(L"%-22ls %.3f s, %d selected\n", L"select all", SecondsSince(start),
            static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)));
    return 0;
}
