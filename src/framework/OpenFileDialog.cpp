#include "framework/OpenFileDialog.h"

#include "framework/FrameworkIds.h"
#include "framework/ResourceText.h"

#include <commdlg.h>

#include <vector>

std::wstring PromptForFileToOpen(HWND owner)
{
    const std::wstring title = LoadResourceString(IDS_OPEN_FILE_TITLE);
    // "name\0pattern\0\0"
    std::wstring filter = LoadResourceString(IDS_ALL_FILES_FILTER);
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    // Room for a long path, well past MAX_PATH.
    std::vector<wchar_t> fileName(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrTitle = title.c_str();
    // The current folder stays the one the program started in, where it looks for its tips and help.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return {};
    return std::wstring(fileName.data());
}
