#include "view/SystemImageList.h"

#include "engine/platform/ShellFileTypes.h"

#include <shellapi.h>

namespace {

constexpr UINT kSmallIconIndexFlags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON;

// The shell's answer for `name`, or -1 when it gave none.
int ShellIconIndex(const wchar_t* name)
{
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(name, FILE_ATTRIBUTE_NORMAL, &info, sizeof info, kSmallIconIndexFlags)) return -1;
    return info.iIcon;
}

} // namespace

HIMAGELIST CSystemImageList::s_imageList = nullptr;
int CSystemImageList::s_holders = 0;

CSystemImageList::CSystemImageList()
{
    if (s_holders == 0) {
        SHFILEINFOW info{};
        s_imageList = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L".txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info, kSmallIconIndexFlags));
        if (s_imageList) ImageList_SetBkColor(s_imageList, CLR_NONE);
    }
    ++s_holders;
}

CSystemImageList::~CSystemImageList()
{
    if (--s_holders == 0) s_imageList = nullptr;
}

HIMAGELIST CSystemImageList::GetImageList()
{
    return s_imageList;
}

int CSystemImageList::GetIconIndex(const std::wstring& name)
{
    const int index = ShellIconIndex(name.c_str());
    if (index >= 0) return index;
    // A name without an extension gets the icon of a file of no particular type.
    const int plainFile = ShellIconIndex(L"file");
    return plainFile >= 0 ? plainFile : 0;
}

std::wstring CSystemImageList::GetTypeName(std::wstring_view name)
{
    std::wstring typeName;
    ::GetTypeName(std::wstring(name), typeName);
    return typeName;
}
