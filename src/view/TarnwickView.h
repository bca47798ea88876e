// The contents list: a report list with one row per stream of the open help
// file (name, size, type, internal path) and the commands on it.
#pragma once

#include "framework/ListView.h"
#include "view/SystemImageList.h"

class CTarnwickDoc;
class IEntryLauncher;

class CTarnwickView : public CListView {
public:
    CTarnwickView();
    ~CTarnwickView() override;

    CTarnwickDoc* GetDocument() const;

    // Refills the list from the engine's help file, if it holds one.
    void OnInitialUpdate() override;
    bool OnNotifyReflect(NMHDR& header, LRESULT& result) override;

    void OnUnpack();
    void OnUpdateUnpack(CCommandState& state);
    void OnSelectAll();
    // Sorts by the clicked column: ascending, or descending right after an ascending sort of it.
    void OnColumnClick(int column);
    // Opens the one selected row; false when not exactly one row is selected.
    bool OnDblClk();
    // The list's context menu at a point of the screen, and at the focused row for the keyboard.
    void ShowContextMenu(POINT at);
    void OnContextMenuKey();
    // Copies the row's stream to the entry-copy folder and starts the copy.
    void OpenEntry(int row);
    // Who starts opened entries; the shell unless a test says otherwise.
    void SetEntryLauncher(IEntryLauncher* launcher) { m_entryLauncher = launcher; }

protected:
    int OnCreate(const CREATESTRUCTW& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowTotal(int rows);
    // Widens the column when `text` does not fit it; never narrows it.
    void WidenToFit(int column, const std::wstring& text);
    // The header's sort arrow on `column` in that direction; -1 clears every arrow.
    void ShowSortArrow(int column, bool ascending);

    // The column that the last header click sorted ascending; -1 when none.
    int m_nSortColumn = -1;
    IEntryLauncher* m_entryLauncher = nullptr;
    CSystemImageList m_sysImageList;
};
