#include "engine/FileTypes.h"

namespace {

std::wstring_view Extension(std::wstring_view name)
{
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot + 1);
}

void AssignExtensionKey(std::wstring& key, std::wstring_view name)
{
    key.assign(Extension(name));
    for (wchar_t& c : key)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
}

} // namespace

std::wstring ExtensionKey(std::wstring_view name)
{
    std::wstring key;
    AssignExtensionKey(key, name);
    return key;
}

const CFileTypeCache::Type& CFileTypeCache::Of(IFileTypes& types, std::wstring_view name)
{
    const std::wstring_view extension = Extension(name);
    if (m_last && extension == m_lastExtension) return *m_last;
    AssignExtensionKey(m_key, name);
    auto known = m_known.find(m_key);
    if (known == m_known.end())
        known = m_known.emplace(m_key, Type{types.GetTypeName(name), types.GetSmallIconIndex(name)}).first;
    m_lastExtension.assign(extension);
    m_last = &known->second;
    return *m_last;
}
