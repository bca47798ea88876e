#include "MessageBox.h"

#include "Application.h"
#include "ResourceText.h"

int ShowMessageBox(const std::wstring& text, UINT type)
{
    if (CApplication* application = CApplication::Get()) return application->DoMessageBox(text, type);
    return MessageBoxW(nullptr, text.c_str(), nullptr, WithDefaultIcon(type));
}

int ShowMessageBox(UINT promptId, UINT type)
{
    return ShowMessageBox(LoadResourceString(promptId), type);
}

UINT WithDefaultIcon(UINT type)
{
    if (type & MB_ICONMASK) return type;
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL: return type | MB_ICONEXCLAMATION;
    case MB_YESNO:
    case MB_YESNOCANCEL: return type | MB_ICONQUESTION;
    default: return type;
    }
}
