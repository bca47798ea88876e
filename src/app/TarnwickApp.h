// The application: start-up, the document template that binds the document,
// the main frame and the list view, and the commands of the whole program.
#pragma once

#include "Application.h"

#include <string>

class CTarnwickApp : public CApplication {
public:
    CTarnwickApp();

    // The running application; null when there is none.
    static CTarnwickApp* Get();

    bool InitInstance() override;
    // Offers the tip of the day unless the command line asked for no splash.
    void ShowStartupTip();

    // Hands `target` to the shell for its default action; a failure is not reported.
    virtual void OpenWithShell(const std::wstring& target);

private:
    void OnShowTip();
    void OnAbout();
};
