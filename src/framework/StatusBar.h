// The status bar: a stretching message pane, then one pane per indicator
// (the lock keys), each as wide as its text.
#pragma once

#include "framework/ControlBar.h"

#include <span>
#include <vector>

class CStatusBar : public CControlBar {
public:
    bool Create(CFrameWindow& frame, DWORD style, UINT id);
    // Id 0 is the message pane; other ids name strings that the panes show.
    bool SetIndicators(std::span<const UINT> ids);
    std::wstring GetPaneText(int pane) const;

    int CalcThickness() override;
    void UpdateCommandStates(CFrameWindow& frame) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LayOutPanes();
    void SetPaneText(int pane, const std::wstring& text);

    std::vector<UINT> m_indicators;
    std::vector<std::wstring> m_indicatorTexts;
    std::vector<int> m_paneWidths;
};
