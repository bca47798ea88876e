#include "unpackdialog/UnpackFailures.h"

void CUnpackFailures::Add(const std::wstring& internalPath, const std::wstring& name, const std::wstring& reason)
{
    ++m_count;
    if (m_firstNames.size() < kNamesShown) m_firstNames.push_back(internalPath + name + L": " + reason);
}

void CUnpackFailures::SetDamagedHelpFile(const std::wstring& helpFile, const std::vector<std::wstring>& notes)
{
    m_damagedHelpFile = helpFile;
    m_damageNotes = notes;
}

std::wstring CUnpackFailures::Message() const
{
    std::wstring text;
    if (!m_damagedHelpFile.empty()) {
        text = L"帮助文件已损坏: " + m_damagedHelpFile + L"\n";
        for (const std::wstring& note : m_damageNotes) text += note + L"\n";
        text += L"\n";
    }
    text += L"有 " + std::to_wstring(m_count) + L" 个文件未能展开:";
    for (const std::wstring& name : m_firstNames) text += L"\n" + name;
    if (static_cast<std::size_t>(m_count) > m_firstNames.size()) text += L"\n……";
    return text;
}
