#include "framework/View.h"

#include "framework/FrameWindow.h"

bool CView::Create(CFrameWindow& frame, CDocument& document, UINT id)
{
    m_frame = &frame;
    m_document = &document;
    CREATESTRUCTW cs{};
    cs.style = WS_CHILD | WS_VISIBLE | WS_BORDER;
    PreCreateWindow(cs);
    // A plain border becomes the sunken edge that views have.
    if (cs.style & WS_BORDER) {
        cs.style &= ~WS_BORDER;
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
    }
    return CreateEx(cs.dwExStyle, WindowClassName(), L"", cs.style, 0, 0, 0, 0, frame.GetSafeHwnd(),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CView::OnInitialUpdate()
{
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CView::OnNotifyReflect(NMHDR&, LRESULT&)
{
    return false;
}

void CView::PreCreateWindow(CREATESTRUCTW&) {}

int CView::OnCreate(const CREATESTRUCTW&)
{
    return 0;
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        if (Default(message, wParam, lParam) == -1) return -1;
        return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam));
    }
    return Default(message, wParam, lParam);
}
