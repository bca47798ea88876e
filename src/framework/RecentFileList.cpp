#include "framework/RecentFileList.h"

#include <algorithm>

namespace {

bool SameFile(const std::wstring& left, const std::wstring& right)
{
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

// "C:\" or "\\server\share\": the part of a path that is never left out.
std::size_t RootLength(const std::wstring& path)
{
    if (path.rfind(L"\\\\", 0) == 0) {
        const std::size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos) return path.size();
        const std::size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return 3;
    return 0;
}

std::wstring DoubleAmpersands(const std::wstring& text)
{
    std::wstring doubled;
    for (wchar_t character : text) {
        doubled += character;
        if (character == L'&') doubled += L'&';
    }
    return doubled;
}

} // namespace

std::wstring AbbreviatePath(const std::wstring& path, std::size_t maxLength)
{
    if (path.size() <= maxLength) return path;
    const std::size_t nameStart = path.find_last_of(L'\\') + 1;
    const std::wstring root = path.substr(0, RootLength(path));
    // Try the longest tail of whole folders that still fits after "root...\".
    for (std::size_t cut = path.find(L'\\', root.size()); cut != std::wstring::npos && cut < nameStart;
         cut = path.find(L'\\', cut + 1)) {
        std::wstring shortened = root + L"..." + path.substr(cut);
        if (shortened.size() <= maxLength) return shortened;
    }
    return path.substr(nameStart);
}

CRecentFileList::CRecentFileList(CProfile& profile, UINT firstCommand, std::wstring section, std::wstring entryFormat,
                                 std::size_t capacity, std::size_t displayLength)
    : m_profile(profile), m_firstCommand(firstCommand), m_section(std::move(section)),
      m_entryFormat(std::move(entryFormat)), m_capacity(capacity), m_displayLength(displayLength)
{
}

std::wstring CRecentFileList::EntryName(std::size_t index) const
{
    wchar_t name[64];
    swprintf(name, std::size(name), m_entryFormat.c_str(), static_cast<int>(index + 1));
    return name;
}

void CRecentFileList::ReadList()
{
    m_paths.clear();
    for (std::size_t index = 0; index < m_capacity; ++index) {
        std::wstring path = m_profile.GetString(m_section, EntryName(index));
        if (!path.empty()) m_paths.push_back(std::move(path));
    }
}

void CRecentFileList::WriteList()
{
    for (std::size_t index = 0; index < m_capacity; ++index) {
        if (index < m_paths.size())
            m_profile.WriteString(m_section, EntryName(index), m_paths[index]);
        else
            m_profile.DeleteEntry(m_section, EntryName(index));
    }
}

void CRecentFileList::Add(const std::wstring& path)
{
    const auto same = std::find_if(m_paths.begin(), m_paths.end(),
                                   [&path](const std::wstring& known) { return SameFile(known, path); });
    if (same != m_paths.end()) m_paths.erase(same);
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > m_capacity) m_paths.resize(m_capacity);
    WriteList();
}

void CRecentFileList::Remove(std::size_t index)
{
    if (index >= m_paths.size()) return;
    m_paths.erase(m_paths.begin() + static_cast<std::ptrdiff_t>(index));
    WriteList();
}

std::wstring CRecentFileList::MenuText(std::size_t index) const
{
    return L"&" + std::to_wstring(index + 1) + L" " + DoubleAmpersands(AbbreviatePath(m_paths[index], m_displayLength));
}

void CRecentFileList::UpdateMenu(const CCommandState& state)
{
    HMENU menu = state.GetMenu();
    if (!menu) return;
    const UINT lastCommand = m_firstCommand + static_cast<UINT>(m_capacity) - 1;
    if (m_placeholderText.empty()) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, state.GetIndex(), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
        m_placeholderText = text;
    }
    for (UINT id = m_firstCommand; id <= lastCommand; ++id) DeleteMenu(menu, id, MF_BYCOMMAND);

    const UINT position = state.GetIndex();
    if (m_paths.empty()) {
        InsertMenuW(menu, position, MF_BYPOSITION | MF_STRING | MF_GRAYED, m_firstCommand, m_placeholderText.c_str());
        return;
    }
    for (std::size_t index = 0; index < m_paths.size(); ++index) {
        InsertMenuW(menu, position + static_cast<UINT>(index), MF_BYPOSITION | MF_STRING,
                    m_firstCommand + static_cast<UINT>(index), MenuText(index).c_str());
    }
}
