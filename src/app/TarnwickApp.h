// The application: start-up, the document template that binds the document,
// the main frame and the list view, and the commands of the whole program.
#pragma once

#include "framework/Application.h"

class CTarnwickApp : public CApplication {
public:
    CTarnwickApp();

    // The running application; null when there is none.
    static CTarnwickApp* Get();

    bool InitInstance() override;
    // Offers the tip of the day unless the command line asked for no splash.
    void ShowStartupTip();

private:
    void OnShowTip();
    void OnAbout();
};
