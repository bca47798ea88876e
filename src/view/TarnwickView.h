// The contents list: a report list with one row per stream of the open help
// file (name, size, type, internal path) and the commands on it.
#pragma once

#include "ListView.h"
#include "SystemImageList.h"

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
    void OnRClick();
    // Copies the row's stream to the entry-copy folder and starts the copy.
    void OpenEntry(int row);
    // Who starts opened entries; the shell unless a test says otherwise.
    void SetEntryLauncher(IEntryLauncher* launcher) { m_entryLauncher = launcher; }

protected:
    int OnCreate(const CREATESTRUCTW& cs) override;

private:
    void ShowTotal(int rows);

    // The column that the last header click sorted ascending; -1 when none.
    int m_nSortColumn = -1;
    IEntryLauncher* m_entryLauncher = nullptr;
    CSystemImageList m_sysImageList;
};
