#include "FileTypes.h"

std::wstring ExtensionKey(std::wstring_view name)
{
    const std::size_t dot = name.rfind(L'.');
    std::wstring key(dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot + 1));
    for (wchar_t& c : key)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return key;
}
