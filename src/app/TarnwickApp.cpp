#include "TarnwickApp.h"

#include "FrameWindow.h"
#include "MainFrame.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"
#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

CTarnwickApp::CTarnwickApp()
{
    MapCommand(ID_SHOW_TIP, [this] { OnShowTip(); });
    MapCommand(ID_APP_ABOUT, [this] { OnAbout(); });
}

CTarnwickApp* CTarnwickApp::Get()
{
    return dynamic_cast<CTarnwickApp*>(CApplication::Get());
}

bool CTarnwickApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    SetRegistryKey(L"Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);

    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CTarnwickDoc>(); },
        [] { return std::make_unique<CMainFrame>(); }, [] { return std::make_unique<CTarnwickView>(); }));

    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (!ProcessShellCommand(commandLine)) return false;

    HWND mainWindow = GetMainWindow()->GetSafeHwnd();
    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    ShowStartupTip();
    return true;
}

void CTarnwickApp::ShowStartupTip()
{
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (!commandLine.m_showSplash) return;
    // The tip of the day is offered here once its dialog exists (its own piece of work).
}

void CTarnwickApp::OpenWithShell(const std::wstring& target)
{
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    // No error box of the shell's own: a missing help file or browser shows nothing.
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpFile = target.c_str();
    execute.nShow = SW_SHOW;
    ShellExecuteExW(&execute);
}

void CTarnwickApp::OnShowTip()
{
    // Runs the tip-of-the-day dialog once it exists (its own piece of work).
}

void CTarnwickApp::OnAbout()
{
    // Runs the about box once it exists (its own piece of work).
}
