#include "engine/FileTypes.h"

std::wstring ExtensionKey(std::wstring_view name)
{
    const std::size_t dot = name.rfind(L'.');
    std::wstring key(dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot + 1));
    for (wchar_t& c : key)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return key;
}

const CFileTypeCache::Type& CFileTypeCache::Of(IFileTypes& types, std::wstring_view name)
{
    std::wstring key = ExtensionKey(name);
    const auto known = m_known.find(key);
    if (known != m_known.end()) return known->second;
    Type type{types.GetTypeName(name), types.GetSmallIconIndex(name)};
    return m_known.emplace(std::move(key), std::move(type)).first->second;
}
