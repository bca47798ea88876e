// The frame: the top-level window with the menu bar, the control bars and the
// view. Commands from the menu, the accelerators and the toolbar are routed
// frame -> view -> document -> application, and update handlers decide which
// of them are enabled.
#pragma once

#include "framework/CommandTarget.h"
#include "framework/ControlBar.h"
#include "framework/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDocument;
class CStatusBar;
class CView;

class CFrameWindow : public CWindow, public CCommandTarget {
public:
    using ViewFactory = std::function<std::unique_ptr<CView>()>;

    CFrameWindow();
    ~CFrameWindow() override;

    // Creates the frame with menu, accelerators and icon `resourceId`, and its
    // view on `document`. The title's application part is `appTitle`.
    bool LoadFrame(UINT resourceId, const std::wstring& appTitle, CDocument& document, ViewFactory makeView);

    CView* GetActiveView() const { return m_view.get(); }
    CDocument* GetActiveDocument() const { return m_document; }
    // The bar whose first pane shows prompts and messages; none by default.
    virtual CStatusBar* GetStatusBar();

    // "<document title> - <application>".
    void UpdateFrameTitle();
    void RecalcLayout();
    void SetMessageText(const std::wstring& text);
    // The status-bar prompt of a command, or the idle text for the idle message.
    void SetMessageText(UINT id);
    // What the bar shows when no prompt is up ("就绪" while this is empty); shown at once.
    void SetIdleText(const std::wstring& text);

    // True when someone on the route ran the command, or it was disabled.
    bool RouteCommand(UINT id);
    void RouteUpdate(CCommandState& state);
    void UpdateControlBars();
    bool PreTranslateMessage(MSG& message);

    void AddControlBar(CControlBar& bar);
    void RemoveControlBar(CControlBar& bar);
    CControlBar* GetControlBar(UINT id) const;
    void EnableDocking(DWORD sides) { m_dockingSides = sides; }
    // Docks the bar on the side its style names, if both bar and frame allow it.
    void DockControlBar(CControlBar& bar);
    void DockControlBar(CControlBar& bar, DockSide side);
    void ShowControlBar(CControlBar& bar, bool show);

protected:
    virtual void PreCreateWindow(CREATESTRUCTW& cs);
    // Creates the view; -1 stops the frame's creation.
    virtual int OnCreate(const CREATESTRUCTW& cs);
    // Destroys the frame; for the main window that ends the program.
    virtual void OnClose();
    virtual void OnInitMenu(HMENU menu);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed() override;

private:
    std::vector<CCommandTarget*> CommandRoute() const;
    bool OnCommandMessage(WPARAM wParam, LPARAM lParam);
    bool OnNotify(NMHDR& header, LRESULT& result);
    void UpdateMenuItems(HMENU popup);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    void OnToggleControlBar(UINT id);
    void OnUpdateControlBarMenu(CCommandState& state);
    bool IsControlBarWindow(HWND window) const;

    std::unique_ptr<CView> m_view;
    CDocument* m_document = nullptr;
    ViewFactory m_makeView;
    HACCEL m_accelerators = nullptr;
    std::wstring m_appTitle;
    std::vector<CControlBar*> m_controlBars;
    DWORD m_dockingSides = 0;
    std::wstring m_toolTipText;
    std::wstring m_idleText;
};
