#include "view/ShellOperations.h"

#include "framework/Application.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "resource.h"
#include "view/ContentFile.h"

void OpenOrSay(const std::wstring& target, const std::wstring& missing)
{
    CApplication* application = CApplication::Get();
    if (application && !application->OpenWithShell(target)) ShowMessageBox(missing);
}

void OpenHelpFile()
{
    const std::wstring help = LocateContentFile(L"TARNHelp.chm");
    if (!IsFile(help)) {
        ShowMessageBox(L"找不到帮助文件 TARNHelp.chm: 当前文件夹和程序所在的文件夹中都没有它.");
        return;
    }
    OpenOrSay(help, L"没有能打开帮助文件的程序:\n" + help);
}

void OpenHomePage()
{
    const std::wstring url = LoadResourceString(IDS_HOME_PAGE_URL);
    OpenOrSay(url, L"没有浏览器能打开主页 " + url + L": 请先设置默认的浏览器.");
}

void SendEmail()
{
    const std::wstring address = LoadResourceString(IDS_SUPPORT_EMAIL);
    OpenOrSay(L"mailto:" + address, L"没有电子邮件程序能写信给 " + address + L": 请先设置默认的电子邮件程序.");
}
