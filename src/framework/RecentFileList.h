// The most recently opened files, newest first, kept in the profile and shown
// in the File menu in place of its placeholder item.
#pragma once

#include "framework/CommandState.h"
#include "framework/Profile.h"

#include <string>
#include <vector>

class CRecentFileList {
public:
    CRecentFileList(CProfile& profile, UINT firstCommand, std::wstring section, std::wstring entryFormat,
                    std::size_t capacity, std::size_t displayLength);

    void ReadList();
    void WriteList();

    // Puts `path` first, dropping an older entry for the same file and the oldest
    // entry beyond the capacity; the profile is updated at once.
    void Add(const std::wstring& path);
    void Remove(std::size_t index);
    std::size_t GetCount() const { return m_paths.size(); }
    const std::wstring& GetPath(std::size_t index) const { return m_paths[index]; }

    // Rewrites the menu's recent-file items from the state's menu position on.
    void UpdateMenu(const CCommandState& state);

private:
    std::wstring EntryName(std::size_t index) const;
    std::wstring MenuText(std::size_t index) const;

    CProfile& m_profile;
    UINT m_firstCommand;
    std::wstring m_section;
    std::wstring m_entryFormat;
    std::size_t m_capacity;
    std::size_t m_displayLength;
    std::vector<std::wstring> m_paths;
    std::wstring m_placeholderText;
};

// `path` shortened to at most `maxLength` characters where it can be: the root,
// "...", and as many trailing folders as fit; else the file's name alone.
std::wstring AbbreviatePath(const std::wstring& path, std::size_t maxLength);
