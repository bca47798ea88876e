// The single-document template: one document, one frame and one view, made on
// the first New or open and reused by every later one.
#pragma once

#include "framework/Document.h"
#include "framework/FrameWindow.h"

#include <functional>
#include <memory>
#include <string>

class CSingleDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CFrameWindow>()>;

    // `resourceId` names the frame's menu, accelerators and icon and the
    // document string, whose fields are separated by "\n".
    CSingleDocTemplate(UINT resourceId, DocumentFactory makeDocument, FrameFactory makeFrame,
                       CFrameWindow::ViewFactory makeView);
    ~CSingleDocTemplate();
    CSingleDocTemplate(const CSingleDocTemplate&) = delete;
    CSingleDocTemplate& operator=(const CSingleDocTemplate&) = delete;

    // A new, untitled document; null when the frame could not be made.
    CDocument* NewDocument();
    // Opens `path` into the document. Null when the file could not be opened,
    // or when its content was turned down after the document already existed.
    CDocument* OpenDocumentFile(const std::wstring& path);

    CDocument* GetDocument() const { return m_document.get(); }
    CFrameWindow* GetFrame() const { return m_frame.get(); }

    // Field `index` of the document string: 0 the window title, 1 the document name.
    std::wstring GetDocString(int index) const;

private:
    bool EnsureFrame(bool& created);
    void DiscardFrame();
    void SetDefaultTitle();
    void InitialUpdateFrame();

    UINT m_resourceId;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    CFrameWindow::ViewFactory m_makeView;
    // The frame, and the view inside it, go before the document.
    std::unique_ptr<CDocument> m_document;
    std::unique_ptr<CFrameWindow> m_frame;
};
