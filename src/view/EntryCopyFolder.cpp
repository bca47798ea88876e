#include "view/EntryCopyFolder.h"

#include <windows.h>

#include <set>
#include <vector>

namespace {

std::set<std::wstring>& EntryCopies()
{
    static std::set<std::wstring> copies;
    return copies;
}

} // namespace

std::wstring EntryCopyFolderPath()
{
    const DWORD needed = GetTempPathW(0, nullptr);
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    const DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    std::wstring path(buffer.data(), length <= buffer.size() ? length : 0);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + L"TARNPTMP";
}

void RememberEntryCopy(const std::wstring& path)
{
    EntryCopies().insert(path);
}

void RemoveEntryCopies()
{
    for (auto copy = EntryCopies().begin(); copy != EntryCopies().end();)
        copy = DeleteFileW(copy->c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ? EntryCopies().erase(copy) : std::next(copy);
    RemoveDirectoryW(EntryCopyFolderPath().c_str());
}
