#include "unpackdialog/FolderBrowser.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

namespace {

struct TaskMemoryFree {
    void operator()(ITEMIDLIST* item) const { CoTaskMemFree(item); }
};
using CItemIdList = std::unique_ptr<ITEMIDLIST, TaskMemoryFree>;

} // namespace

std::optional<std::wstring> BrowseForFolder()
{
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.pszDisplayName = displayName;
    browse.lpszTitle = L"请选择输出文件夹:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    const CItemIdList chosen(SHBrowseForFolderW(&browse));
    if (!chosen) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
    return path;
}
