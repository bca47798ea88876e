// An application object whose message boxes are recorded instead of shown.
#pragma once

#include "framework/Application.h"

#include <string>
#include <vector>

class CRecordingApp : public CApplication {
public:
    int DoMessageBox(const std::wstring& text, UINT) override
    {
        messages.push_back(text);
        return IDOK;
    }
    std::vector<std::wstring> messages;
};
