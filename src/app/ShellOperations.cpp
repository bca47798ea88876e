#include "ShellOperations.h"

#include "ContentFile.h"
#include "ResourceText.h"
#include "TarnwickApp.h"
#include "resource.h"

void OpenHelpFile()
{
    if (CTarnwickApp* application = CTarnwickApp::Get()) application->OpenWithShell(LocateContentFile(L"TARNHelp.chm"));
}

void OpenHomePage()
{
    if (CTarnwickApp* application = CTarnwickApp::Get())
        application->OpenWithShell(LoadResourceString(IDS_HOME_PAGE_URL));
}

void SendEmail()
{
    if (CTarnwickApp* application = CTarnwickApp::Get())
        application->OpenWithShell(L"mailto:" + LoadResourceString(IDS_SUPPORT_EMAIL));
}
