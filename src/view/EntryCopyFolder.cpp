#include "EntryCopyFolder.h"

#include "UniqueHandle.h"

#include <vector>

std::wstring EntryCopyFolderPath()
{
    const DWORD needed = GetTempPathW(0, nullptr);
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    const DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    std::wstring path(buffer.data(), length <= buffer.size() ? length : 0);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + L"TARNPTMP";
}

void RemoveEntryCopyFolder()
{
    const std::wstring folder = EntryCopyFolderPath();
    WIN32_FIND_DATAW found{};
    CFindHandle search(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
    if (search) {
        do {
            // "." and ".." and any subfolder simply fail to delete.
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search.Get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}
