#include "view/TarnwickDoc.h"

#include "engine/DamageReasons.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "resource.h"

CTarnwickDoc::CTarnwickDoc() : m_engine([](const std::wstring& message) { ShowMessageBox(message); }) {}

bool CTarnwickDoc::Serialize(const CArchive& archive)
{
    const HRESULT opened = m_engine.OpenFile(archive.GetFilePath());
    if (SUCCEEDED(opened) && m_engine.GetRoot()) {
        m_shownFile = archive.GetFilePath();
        m_engine.SetZoneMarkOfCopies(m_engine.GetFileSystem().ReadZoneMark(m_shownFile));
        return true;
    }
    ShowMessageBox(LoadResourceString(IDS_CANNOT_OPEN_FILE) + L"\n" + archive.GetFilePath() + L"\n" + OpenFailureReason(opened));
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
