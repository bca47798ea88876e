// A view: the child window that fills the frame's client area and shows the
// document. The frame routes commands to it and sends its control's
// notifications back to it.
#pragma once

#include "framework/CommandTarget.h"
#include "framework/Window.h"

class CDocument;
class CFrameWindow;

class CView : public CWindow, public CCommandTarget {
public:
    bool Create(CFrameWindow& frame, CDocument& document, UINT id);

    CDocument* GetDocument() const { return m_document; }
    CFrameWindow* GetParentFrame() const { return m_frame; }

    // After every New and every open of a file; by default repaints the view.
    virtual void OnInitialUpdate();
    // A notification from the view's own control; false leaves it unhandled.
    virtual bool OnNotifyReflect(NMHDR& header, LRESULT& result);

protected:
    virtual const wchar_t* WindowClassName() const = 0;
    virtual void PreCreateWindow(CREATESTRUCTW& cs);
    // After the control's own creation; -1 makes the creation fail.
    virtual int OnCreate(const CREATESTRUCTW& cs);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CFrameWindow* m_frame = nullptr;
    CDocument* m_document = nullptr;
};
