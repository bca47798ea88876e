// The check every fuzz target that writes files makes: a hostile name must never lead a path out
// of the target folder, nor give a name Windows would read as something else.
#pragma once

#include <cwchar>
#include <string>
#include <string_view>

inline void Check(bool holds)
{
    if (!holds) __builtin_trap();
}

inline bool IsSafeComponent(std::wstring_view name)
{
    if (name.empty() || name == L"." || name == L".." || name.back() == L'.' || name.back() == L' ') return false;
    for (const wchar_t c : name)
        if (c < 0x20 || std::wcschr(L"<>:\"/\\|?*", c)) return false;
    return true;
}

// `path` must be `target` followed by safe components.
inline void CheckContained(const std::wstring& target, const std::wstring& path)
{
    Check(path.compare(0, target.size() + 1, target + L"/") == 0);
    std::size_t start = target.size() + 1;
    for (;;) {
        const std::size_t slash = path.find(L'/', start);
        Check(IsSafeComponent(std::wstring_view(path).substr(start, slash - start)));
        if (slash == std::wstring::npos) return;
        start = slash + 1;
    }
}
