#include "engine/platform/ShellFileTypes.h"

#include <windows.h>
#include <shellapi.h>

BOOL GetTypeName(const std::wstring& name, std::wstring& typeName)
{
    SHFILEINFOW info{};
    SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    typeName = info.szTypeName;
    return TRUE;
}

std::wstring CShellFileTypes::GetTypeName(std::wstring_view name)
{
    std::wstring typeName;
    ::GetTypeName(std::wstring(name), typeName);
    return typeName;
}

int CShellFileTypes::GetSmallIconIndex(std::wstring_view name)
{
    SHFILEINFOW info{};
    SHGetFileInfoW(std::wstring(name).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    return info.iIcon;
}
