#include "unpackdialog/UnpackFailures.h"

void CUnpackFailures::Add(const std::wstring& internalPath, const std::wstring& name)
{
    ++m_count;
    if (m_firstNames.size() < kNamesShown) m_firstNames.push_back(internalPath + name);
}

std::wstring CUnpackFailures::Message() const
{
    std::wstring text = L"有 " + std::to_wstring(m_count) + L" 个文件未能展开:";
    for (const std::wstring& name : m_firstNames) text += L"\n" + name;
    if (static_cast<std::size_t>(m_count) > m_firstNames.size()) text += L"\n……";
    return text;
}
