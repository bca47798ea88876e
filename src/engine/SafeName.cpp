#include "engine/SafeName.h"

#include <algorithm>

namespace {

bool IsForbidden(wchar_t c)
{
    return c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'/' || c == L'\\' ||
           c == L'|' || c == L'?' || c == L'*';
}

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool StartsEscape(std::wstring_view name, std::size_t at)
{
    return name[at] == L'%' && at + 2 < name.size() && IsHexDigit(name[at + 1]) && IsHexDigit(name[at + 2]);
}

void AppendEscaped(std::wstring& out, wchar_t c)
{
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    // Only ASCII characters are ever escaped.
    const auto code = static_cast<unsigned>(c) & 0xFF;
    out.push_back(L'%');
    out.push_back(kHex[code >> 4]);
    out.push_back(kHex[code & 0xF]);
}

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool IsDeviceDigit(wchar_t c) { return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3'; }

// Windows opens a device for these whatever follows the first dot, and ignores
// spaces before that dot.
bool IsReservedDeviceName(std::wstring_view name)
{
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (EqualsIgnoringCase(stem, device)) return true;
    if (stem.size() == 4 && IsDeviceDigit(stem[3]))
        return EqualsIgnoringCase(stem.substr(0, 3), L"COM") || EqualsIgnoringCase(stem.substr(0, 3), L"LPT");
    return false;
}

std::size_t TrailingDotsAndSpaces(std::wstring_view name)
{
    std::size_t count = 0;
    while (count < name.size() && (name[name.size() - 1 - count] == L'.' || name[name.size() - 1 - count] == L' '))
        ++count;
    return count;
}

} // namespace

std::wstring SafeFileName(std::wstring_view name)
{
    if (name.empty()) return L"%00";
    const std::size_t keptEnd = name.size() - TrailingDotsAndSpaces(name);
    const bool device = IsReservedDeviceName(name);
    // Most names need nothing: spare them the character-by-character copy.
    const bool plain = keptEnd == name.size() && !device && std::none_of(name.begin(), name.end(), [](wchar_t c) {
        return IsForbidden(c) || c == L'%';
    });
    if (plain) return std::wstring(name);

    std::wstring out;
    out.reserve(name.size() + 8);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        if (IsForbidden(c) || i >= keptEnd || (i == 0 && device) || StartsEscape(name, i))
            AppendEscaped(out, c);
        else
            out.push_back(c);
    }
    return out;
}

std::vector<std::wstring> SafeFolderNames(std::wstring_view internalPath)
{
    std::vector<std::wstring> levels;
    for (std::size_t start = 0; start < internalPath.size();) {
        std::size_t end = internalPath.find(L'\\', start);
        if (end == std::wstring_view::npos) end = internalPath.size();
        levels.push_back(SafeFileName(internalPath.substr(start, end - start)));
        start = end + 1;
    }
    return levels;
}
