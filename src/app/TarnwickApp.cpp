#include "app/TarnwickApp.h"

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "app/TipDlg.h"
#include "framework/FrameWindow.h"
#include "resource.h"
#include "view/TarnwickDoc.h"
#include "view/TarnwickView.h"

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
    // Constructed even when it stays hidden: one tip is used up per start either way.
    CTipDlg tip;
    if (tip.m_showAtStartup) tip.DoModal();
}

void CTarnwickApp::OnShowTip()
{
    CTipDlg tip;
    tip.DoModal();
}

void CTarnwickApp::OnAbout()
{
    CAboutDlg about;
    about.DoModal();
}
