#include "view/ProgramEntry.h"

#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "resource.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cwctype>

namespace {

constexpr std::array<std::wstring_view, 16> kRunnableExtensions = {
    L".exe", L".com", L".bat", L".cmd", L".js", L".jse", L".vbs", L".vbe",
    L".wsf", L".hta", L".scr", L".pif", L".lnk", L".msi", L".ps1", L".reg",
};

bool SameText(std::wstring_view a, std::wstring_view b)
{
    return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

bool ListedIn(std::wstring_view extension, std::wstring_view pathExt)
{
    while (!pathExt.empty()) {
        const std::size_t end = std::min(pathExt.find(L';'), pathExt.size());
        if (SameText(pathExt.substr(0, end), extension)) return true;
        pathExt.remove_prefix(std::min(end + 1, pathExt.size()));
    }
    return false;
}

} // namespace

bool RunsAsProgram(std::wstring_view fileName, std::wstring_view pathExt)
{
    const std::size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring_view::npos) return false;
    const std::wstring_view extension = fileName.substr(dot);
    return std::ranges::any_of(kRunnableExtensions, [extension](std::wstring_view known) { return SameText(known, extension); }) ||
           ListedIn(extension, pathExt);
}

std::wstring PathExtVariable()
{
    const DWORD needed = GetEnvironmentVariableW(L"PATHEXT", nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    value.resize(GetEnvironmentVariableW(L"PATHEXT", value.data(), needed));
    return value;
}

bool ConfirmRunningProgram(const std::wstring& name)
{
    return ShowMessageBox(FormatWithArgument(LoadResourceString(IDS_RUN_PROGRAM_ENTRY), name),
                          MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}
