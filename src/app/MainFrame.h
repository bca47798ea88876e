// The main window: centred at 550 x 350, with the toolbar of large labelled
// buttons, the status bar, the tip command in the help menu, and the clean-up
// of the folder of opened entries when it closes.
#pragma once

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

private:
    bool InstallButtonImages();
    void LabelButtons();
    void FitButtonsToLabels();

    CStatusBar m_statusBar;
    CToolBar m_toolBar;
};
