// The contents list: a report list with one row per stream of the open help
// file (name, size, type, internal path) and the commands on it.
#pragma once

#include "ListView.h"
#include "SystemImageList.h"

class CTarnwickDoc;

class CTarnwickView : public CListView {
public:
    CTarnwickView();
    ~CTarnwickView() override;

    CTarnwickDoc* GetDocument() const;

    // Refills the list from the engine's help file, if it holds one.
    void OnInitialUpdate() override;

    void OnUnpack();
    void OnUpdateUnpack(CCommandState& state);
    void OnSelectAll();

protected:
    int OnCreate(const CREATESTRUCTW& cs) override;

private:
    void ShowTotal(int rows);

    CSystemImageList m_sysImageList;
};
