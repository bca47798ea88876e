// Keeps a list from drawing while many rows change, and has it repaint once
// afterwards, however the work ends.
#pragma once

#include "framework/ListViewControl.h"

class CListDrawingOff {
public:
    explicit CListDrawingOff(CListViewControl list) : m_list(list) { m_list.SetRedraw(false); }
    ~CListDrawingOff()
    {
        m_list.SetRedraw(true);
        InvalidateRect(m_list.GetSafeHwnd(), nullptr, TRUE);
    }
    CListDrawingOff(const CListDrawingOff&) = delete;
    CListDrawingOff& operator=(const CListDrawingOff&) = delete;

private:
    CListViewControl m_list;
};
