// A view whose window is a list-view control.
#pragma once

#include "framework/ListViewControl.h"
#include "framework/View.h"

class CListView : public CView {
public:
    CListViewControl GetListCtrl() const { return CListViewControl(m_hWnd); }

protected:
    const wchar_t* WindowClassName() const override { return WC_LISTVIEWW; }
    // The images that rows show belong to whoever gives them, never to the control.
    void PreCreateWindow(CREATESTRUCTW& cs) override { cs.style |= LVS_SHAREIMAGELISTS; }
};
