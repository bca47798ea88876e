// Integer and text settings in named sections under one per-user registry key.
// Reading never creates a key, so a removed key stays removed.
#pragma once

#include <windows.h>

#include <string>

class CProfile {
public:
    // `keyPath` is relative to HKEY_CURRENT_USER; empty means no settings at all.
    explicit CProfile(std::wstring keyPath = {});

    const std::wstring& GetKeyPath() const { return m_keyPath; }

    int GetInt(const std::wstring& section, const std::wstring& entry, int defaultValue) const;
    bool WriteInt(const std::wstring& section, const std::wstring& entry, int value);
    std::wstring GetString(const std::wstring& section, const std::wstring& entry,
                           const std::wstring& defaultValue = {}) const;
    bool WriteString(const std::wstring& section, const std::wstring& entry, const std::wstring& value);
    // Removes the value; removing one that is not there succeeds.
    bool DeleteEntry(const std::wstring& section, const std::wstring& entry);
    // Removes the whole key with everything beneath it.
    bool DeleteAll();

private:
    std::wstring SectionPath(const std::wstring& section) const;

    std::wstring m_keyPath;
};
