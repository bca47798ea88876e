#include "framework/Profile.h"

#include "framework/UniqueHandle.h"

#include <vector>

namespace {

CRegistryKey OpenForReading(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
    return CRegistryKey(key);
}

CRegistryKey OpenForWriting(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return {};
    return CRegistryKey(key);
}

} // namespace

CProfile::CProfile(std::wstring keyPath) : m_keyPath(std::move(keyPath)) {}

std::wstring CProfile::SectionPath(const std::wstring& section) const
{
    return m_keyPath + L"\\" + section;
}

int CProfile::GetInt(const std::wstring& section, const std::wstring& entry, int defaultValue) const
{
    if (m_keyPath.empty()) return defaultValue;
    CRegistryKey key = OpenForReading(SectionPath(section));
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (!key || RegQueryValueExW(key.Get(), entry.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                    ERROR_SUCCESS ||
        type != REG_DWORD)
        return defaultValue;
    return static_cast<int>(value);
}

bool CProfile::WriteInt(const std::wstring& section, const std::wstring& entry, int value)
{
    if (m_keyPath.empty()) return false;
    CRegistryKey key = OpenForWriting(SectionPath(section));
    const auto data = static_cast<DWORD>(value);
    return key && RegSetValueExW(key.Get(), entry.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                 sizeof data) == ERROR_SUCCESS;
}

std::wstring CProfile::GetString(const std::wstring& section, const std::wstring& entry,
                                 const std::wstring& defaultValue) const
{
    if (m_keyPath.empty()) return defaultValue;
    CRegistryKey key = OpenForReading(SectionPath(section));
    DWORD type = 0;
    DWORD size = 0;
    if (!key || RegQueryValueExW(key.Get(), entry.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return defaultValue;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), entry.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return defaultValue;
    return std::wstring(buffer.data());
}

bool CProfile::WriteString(const std::wstring& section, const std::wstring& entry, const std::wstring& value)
{
    if (m_keyPath.empty()) return false;
    CRegistryKey key = OpenForWriting(SectionPath(section));
    const auto size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return key && RegSetValueExW(key.Get(), entry.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 size) == ERROR_SUCCESS;
}

bool CProfile::DeleteEntry(const std::wstring& section, const std::wstring& entry)
{
    if (m_keyPath.empty()) return false;
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_SET_VALUE, &opened);
    if (result == ERROR_FILE_NOT_FOUND) return true;
    if (result != ERROR_SUCCESS) return false;
    CRegistryKey key(opened);
    const LONG deleted = RegDeleteValueW(key.Get(), entry.c_str());
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool CProfile::DeleteAll()
{
    if (m_keyPath.empty()) return false;
    const LONG result = RegDeleteTreeW(HKEY_CURRENT_USER, m_keyPath.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return false;
    // RegDeleteTree empties the key; the key itself goes separately.
    const LONG removed = RegDeleteKeyW(HKEY_CURRENT_USER, m_keyPath.c_str());
    return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
}
