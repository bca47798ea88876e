#include "view/ContentFile.h"

#include <windows.h>

namespace {

std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') == std::wstring::npos ? 0 : path.find_last_of(L'\\'));
}

} // namespace

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring LocateContentFile(const std::wstring& name) { return LocateContentFile(name, ProgramFolder()); }

std::wstring LocateContentFile(const std::wstring& name, const std::wstring& programFolder)
{
    if (IsFile(name) || programFolder.empty()) return name;
    const std::wstring beside = programFolder + L"\\" + name;
    return IsFile(beside) ? beside : name;
}
