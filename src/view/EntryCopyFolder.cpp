#include "view/EntryCopyFolder.h"

#include <windows.h>

#include <set>
#include <vector>

namespace {

// Other copies of the program make their places in the same folder, and a copy that crashed
// leaves its own: a name already taken is passed over, and this many tries without a free one
// means something else is wrong.
constexpr unsigned kPlaceTries = 10000;

struct MadeHere {
    std::set<std::wstring> copies;
    std::set<std::wstring> places;
};

MadeHere& Made()
{
    static MadeHere made;
    return made;
}

bool AlreadyGone()
{
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

template <class Remove> void RemoveEach(std::set<std::wstring>& paths, Remove remove)
{
    for (auto path = paths.begin(); path != paths.end();)
        path = remove(*path) ? paths.erase(path) : std::next(path);
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

std::wstring MakeEntryCopyPlace()
{
    const std::wstring folder = EntryCopyFolderPath();
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring place;
    for (unsigned number = 1; number <= kPlaceTries; ++number) {
        place = folder + L"\\" + std::to_wstring(number);
        if (CreateDirectoryW(place.c_str(), nullptr)) {
            Made().places.insert(place);
            return place;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return place;
}

void RememberEntryCopy(const std::wstring& path)
{
    Made().copies.insert(path);
}

void RemoveEntryCopies()
{
    RemoveEach(Made().copies, [](const std::wstring& copy) { return DeleteFileW(copy.c_str()) || AlreadyGone(); });
    RemoveEach(Made().places, [](const std::wstring& place) { return RemoveDirectoryW(place.c_str()) || AlreadyGone(); });
    RemoveDirectoryW(EntryCopyFolderPath().c_str());
}
