#include "view/TarnwickView.h"

#include "framework/FrameWindow.h"
#include "framework/ListDrawingOff.h"
#include "framework/ResourceText.h"
#include "framework/WaitCursor.h"
#include "resource.h"
#include "unpackdialog/UnpackDlg.h"
#include "view/ColumnSort.h"
#include "view/EntryOpener.h"
#include "view/ListContextMenu.h"
#include "view/ListViewRows.h"
#include "view/PleaseWaitWindow.h"
#include "view/ShellOperations.h"
#include "view/TarnwickDoc.h"
#include "view/ZoneMarkCommand.h"

#include <array>

namespace {

constexpr int kSizeColumn = 1;
// The room the control leaves around a cell's text.
constexpr int kCellPadding = 12;

struct ColumnSetup {
    UINT heading;
    int width;
    int format;
};

constexpr std::array<ColumnSetup, 4> kColumns{{
    {IDS_COLUMN_NAME, 150, LVCFMT_LEFT},
    {IDS_COLUMN_SIZE, 50, LVCFMT_RIGHT},
    {IDS_COLUMN_TYPE, 100, LVCFMT_LEFT},
    {IDS_COLUMN_PATH, 200, LVCFMT_LEFT},
}};

} // namespace

CTarnwickView::CTarnwickView()
{
    MapCommand(ID_UNPACK, [this] { OnUnpack(); });
    MapUpdate(ID_UNPACK, [this](CCommandState& state) { OnUpdateUnpack(state); });
    MapCommand(ID_SELECT_ALL, [this] { OnSelectAll(); });
    MapCommand(ID_HELP_CONTENTS, [] { OpenHelpFile(); });
    MapCommand(ID_HOME_PAGE, [] { OpenHomePage(); });
    MapCommand(ID_REMOVE_ZONE_MARK, [this] {
        if (CTarnwickDoc* document = GetDocument()) OfferToRemoveZoneMark(*document, GetParentFrame());
    });
    MapUpdate(ID_REMOVE_ZONE_MARK, [this](CCommandState& state) {
        const CTarnwickDoc* document = GetDocument();
        state.Enable(document != nullptr && document->IsMarkedAsDownloaded());
    });
}

CTarnwickView::~CTarnwickView()
{
    if (CTarnwickDoc* document = GetDocument()) document->m_engine.ReleaseWalk();
}

CTarnwickDoc* CTarnwickView::GetDocument() const
{
    return static_cast<CTarnwickDoc*>(CView::GetDocument());
}

int CTarnwickView::OnCreate(const CREATESTRUCTW& cs)
{
    if (CListView::OnCreate(cs) == -1) return -1;
    CListViewControl list = GetListCtrl();
    list.SetImageList(CSystemImageList::GetImageList(), LVSIL_SMALL);
    list.SetViewType(LVS_REPORT);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    for (int index = 0; index < static_cast<int>(kColumns.size()); ++index) {
        list.InsertColumn(index, LoadResourceString(kColumns[index].heading), kColumns[index].format);
        list.SetColumnWidth(index, kColumns[index].width);
    }
    return 0;
}

void CTarnwickView::OnInitialUpdate()
{
    CListView::OnInitialUpdate();
    CTarnwickDoc* document = GetDocument();
    IStorage* root = document ? document->m_engine.GetRoot() : nullptr;
    if (!root) return;

    int rows = 0;
    std::wstring longestSize;
    {
        CWaitCursor wait;
        {
            CPleaseWaitWindow pleaseWait(m_hWnd);
            document->m_engine.ReleaseWalk();
            CListViewControl list = GetListCtrl();
            CListDrawingOff drawingOff(list);
            list.DeleteAllItems();
            CListViewRows target(list.Direct(), kSizeColumn);
            rows = document->m_engine.WalkStorage(target, m_sysImageList, root, L"");
            longestSize = target.LongestText();
        }
    }
    WidenToFit(kSizeColumn, longestSize);
    ShowSortArrow(-1, false);
    ShowTotal(rows);
}

void CTarnwickView::WidenToFit(int column, const std::wstring& text)
{
    const int needed = static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str()))) + kCellPadding;
    if (needed > static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)))) GetListCtrl().SetColumnWidth(column, needed);
}

void CTarnwickView::ShowSortArrow(int column, bool ascending)
{
    const auto header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    for (int index = 0; index < static_cast<int>(kColumns.size()); ++index) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, index, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (index == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, index, &item);
    }
}

LRESULT CTarnwickView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Shift+F10 and the menu key; a right click has its own notification.
    if (message == WM_CONTEXTMENU && lParam == -1) {
        OnContextMenuKey();
        return 0;
    }
    return CListView::WindowProc(message, wParam, lParam);
}

bool CTarnwickView::OnNotifyReflect(NMHDR& header, LRESULT& result)
{
    if (header.code == LVN_DELETEALLITEMS) {
        // Rows own nothing that needs freeing one by one: spare the control a notice per row,
        // a third of the time a refill of 20,000 rows took.
        result = TRUE;
        return true;
    }
    if (header.code == LVN_COLUMNCLICK) {
        OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        result = 0;
        return true;
    }
    if (header.code == NM_DBLCLK) {
        if (OnDblClk()) result = 0;
        return true;
    }
    if (header.code == NM_RCLICK) {
        POINT pointer{};
        GetCursorPos(&pointer);
        ShowContextMenu(pointer);
        result = 0;
        return true;
    }
    if (header.code == NM_RETURN) {
        const int focused = ListView_GetNextItem(m_hWnd, -1, LVNI_FOCUSED);
        if (focused != -1) OpenEntry(focused);
        return true;
    }
    return CListView::OnNotifyReflect(header, result);
}

void CTarnwickView::OnColumnClick(int column)
{
    m_nSortColumn = CColumnSort::SortOnHeaderClick(GetListCtrl(), column, m_nSortColumn);
    ShowSortArrow(column, m_nSortColumn == column);
}

bool CTarnwickView::OnDblClk()
{
    CListViewControl list = GetListCtrl();
    if (list.GetSelectedCount() != 1) return false;
    OpenEntry(list.GetNextSelected(-1));
    return true;
}

void CTarnwickView::ShowContextMenu(POINT at)
{
    CListViewControl list = GetListCtrl();
    const UINT chosen = TrackListContextMenu(m_hWnd, list.GetSelectedCount(), at);
    const int row = list.GetNextSelected(-1);
    if (chosen == ID_LIST_RUN && row != -1) OpenEntry(row);
    if (chosen == ID_LIST_UNPACK) OnUnpack();
}

void CTarnwickView::OnContextMenuKey()
{
    // Below the focused row's name, or at the list's corner when no row has the focus.
    RECT place{};
    const int focused = ListView_GetNextItem(m_hWnd, -1, LVNI_FOCUSED);
    if (focused != -1) ListView_GetItemRect(m_hWnd, focused, &place, LVIR_LABEL);
    POINT at{place.left, place.bottom};
    ClientToScreen(m_hWnd, &at);
    ShowContextMenu(at);
}

void CTarnwickView::OpenEntry(int row)
{
    CTarnwickDoc* document = GetDocument();
    if (!document) return;
    static CShellEntryLauncher shell;
    ::OpenEntry(GetListCtrl(), row, document->m_engine, m_entryLauncher ? *m_entryLauncher : shell);
}

void CTarnwickView::ShowTotal(int rows)
{
    wchar_t text[128] = {};
    swprintf(text, std::size(text), LoadResourceString(IDS_FILE_TOTAL).c_str(), rows);
    // The total stays the bar's text between menu and toolbar prompts.
    if (CFrameWindow* frame = GetParentFrame()) frame->SetIdleText(text);
}

void CTarnwickView::OnUnpack()
{
    CTarnwickDoc* document = GetDocument();
    if (!document) return;
    CUnpackDlg dialog(GetListCtrl(), document->m_engine);
    dialog.m_nFileChoice = GetListCtrl().GetSelectedCount() > 0 ? IDC_UNPACK_SELECTED : IDC_UNPACK_ALL;
    dialog.DoModal();
    if (dialog.Outcome()) ShowUnpackOutcome(*dialog.Outcome(), GetParentFrame(), m_hWnd);
}

void CTarnwickView::OnUpdateUnpack(CCommandState& state)
{
    const CTarnwickDoc* document = GetDocument();
    state.Enable(document && document->m_engine.GetRoot() != nullptr);
}

void CTarnwickView::OnSelectAll()
{
    // One request, but the control repaints and reports every row it changes.
    CListDrawingOff paused(GetListCtrl());
    GetListCtrl().Direct().SelectAll();
}
