#include "view/ShellOperations.h"

#include "framework/Application.h"
#include "framework/ResourceText.h"
#include "resource.h"
#include "view/ContentFile.h"

void OpenHelpFile()
{
    if (CApplication* application = CApplication::Get()) application->OpenWithShell(LocateContentFile(L"TARNHelp.chm"));
}

void OpenHomePage()
{
    if (CApplication* application = CApplication::Get())
        application->OpenWithShell(LoadResourceString(IDS_HOME_PAGE_URL));
}

void SendEmail()
{
    if (CApplication* application = CApplication::Get())
        application->OpenWithShell(L"mailto:" + LoadResourceString(IDS_SUPPORT_EMAIL));
}
