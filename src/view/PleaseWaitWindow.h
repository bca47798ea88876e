// The small "please wait" window over the view while the list is refilled:
// shown and painted at once when made, gone when the object goes.
#pragma once

#include "framework/Dialog.h"

class CPleaseWaitWindow : public CDialog {
public:
    explicit CPleaseWaitWindow(HWND parent);
};
