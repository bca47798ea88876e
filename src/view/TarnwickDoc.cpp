#include "view/TarnwickDoc.h"

#include "framework/MessageBox.h"
#include "resource.h"

CTarnwickDoc::CTarnwickDoc() : m_engine([](const std::wstring& message) { ShowMessageBox(message); }) {}

bool CTarnwickDoc::Serialize(const CArchive& archive)
{
    if (SUCCEEDED(m_engine.OpenFile(archive.GetFilePath())) && m_engine.GetRoot()) {
        m_shownFile = archive.GetFilePath();
        m_engine.SetZoneMarkOfCopies(m_engine.GetFileSystem().ReadZoneMark(m_shownFile));
        return true;
    }
    ShowMessageBox(IDS_CANNOT_OPEN_FILE);
    // The window keeps showing the previous file; the engine must hold it again
    // so that its rows and the Unpack command go on working.
    if (!m_shownFile.empty()) m_engine.OpenFile(m_shownFile);
    return false;
}

bool CTarnwickDoc::RemoveZoneMark()
{
    if (!m_engine.GetFileSystem().RemoveZoneMark(m_shownFile)) return false;
    m_engine.SetZoneMarkOfCopies({});
    return true;
}
