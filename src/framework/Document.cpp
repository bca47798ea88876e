#include "framework/Document.h"

#include "framework/FileErrorMessage.h"
#include "framework/UniqueHandle.h"

#include <vector>

bool CDocument::OnNewDocument()
{
    m_pathName.clear();
    return true;
}

DocumentLoad CDocument::OnOpenDocument(const std::wstring& path)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ReportFileError(FileErrorCauseOf(GetLastError()), path);
        return DocumentLoad::Unreadable;
    }
    // The file stays open, with writers denied, while the document reads it.
    return Serialize(CArchive(path)) ? DocumentLoad::Loaded : DocumentLoad::Refused;
}

bool CDocument::Serialize(const CArchive&)
{
    return true;
}

void CDocument::SetPathName(const std::wstring& path)
{
    m_pathName = FullPath(path);
    m_title = m_pathName.substr(m_pathName.find_last_of(L"\\/") + 1);
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed);
    const DWORD length = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    return std::wstring(buffer.data(), length);
}
