// The framework's document: the file being shown, its path and its title.
// It stores nothing: the framework only ever loads documents.
#pragma once

#include "framework/CommandTarget.h"

#include <string>

// What the framework hands a document to load: a file it could open for reading.
class CArchive {
public:
    explicit CArchive(std::wstring filePath) : m_filePath(std::move(filePath)) {}
    const std::wstring& GetFilePath() const { return m_filePath; }

private:
    std::wstring m_filePath;
};

enum class DocumentLoad {
    Loaded,
    // The file could not be opened for reading; the framework's file-error message was shown.
    Unreadable,
    // The document turned the content down and has said why; it is unchanged.
    Refused,
};

class CDocument : public CCommandTarget {
public:
    ~CDocument() override = default;

    // Makes the document new and untitled; false stops the New command.
    virtual bool OnNewDocument();
    // Opens `path` for reading with other writers denied, then hands it to Serialize.
    DocumentLoad OnOpenDocument(const std::wstring& path);

    const std::wstring& GetTitle() const { return m_title; }
    void SetTitle(std::wstring title) { m_title = std::move(title); }
    const std::wstring& GetPathName() const { return m_pathName; }
    // Keeps the full path and takes the file's name as the title.
    void SetPathName(const std::wstring& path);

protected:
    // Loads the archive's file; false when the content was turned down.
    virtual bool Serialize(const CArchive& archive);

private:
    std::wstring m_title;
    std::wstring m_pathName;
};

// The full form of `path`, as the framework keeps it.
std::wstring FullPath(const std::wstring& path);
