// The main window: where and how large it was when it last closed (at first centred at
// 550 x 350), with the toolbar of large labelled buttons, the status bar, the tip command in the
// help menu, the tools menu's commands, and the clean-up of the folder of opened entries when it
// closes.
#pragma once

#include "app/ColumnStretch.h"
#include "framework/FrameWindow.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"

class CMainFrame : public CFrameWindow {
public:
    CMainFrame();

    CStatusBar* GetStatusBar() override { return &m_statusBar; }
    CToolBar& GetToolBar() { return m_toolBar; }

protected:
    void PreCreateWindow(CREATESTRUCTW& cs) override;
    int OnCreate(const CREATESTRUCTW& cs) override;
    void OnClose() override;
    void OnInitMenu(HMENU menu) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The tools menu: each command on the file the window shows.
    void MapTool(UINT id, void (*tool)(const std::wstring& file));
    bool InstallButtonImages();
    void LabelButtons();
    void FitButtonsToLabels();

    CStatusBar m_statusBar;
    CToolBar m_toolBar;
    CColumnStretch m_columns;
};
