// The document: the help file being shown, held open by the engine. A New
// keeps the engine's help file, so the view lists it again, untitled.
#pragma once

#include "engine/ChmEngine.h"
#include "framework/Document.h"

#include <string>

class CTarnwickDoc : public CDocument {
public:
    CTarnwickDoc();

    // The view and the unpack run reach the help file through this.
    CChmEngine m_engine;
    // The file the engine holds; empty before the first one opened.
    const std::wstring& ShownFile() const { return m_shownFile; }

    // The help file the engine holds; empty before the first.
    const std::wstring& GetShownFile() const { return m_shownFile; }
    // Whether that file carries the zone mark of a downloaded file; what is unpacked or opened
    // from it then carries the mark too.
    bool IsMarkedAsDownloaded() const { return !m_engine.GetZoneMarkOfCopies().empty(); }
    // Takes the mark off the help file, and so off what is written from it later. False when the
    // file keeps it.
    bool RemoveZoneMark();

protected:
    // Opens the file in the engine; a file that is no help file is turned down
    // with "不能打开这个文件.", its path and why, and the previous one stays shown.
    bool Serialize(const CArchive& archive) override;

private:
    // The file the engine last opened, to go back to when another will not open.
    std::wstring m_shownFile;
};
