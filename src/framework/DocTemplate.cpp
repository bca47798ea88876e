#include "framework/DocTemplate.h"

#include "framework/Application.h"
#include "framework/FrameworkIds.h"
#include "framework/ResourceText.h"
#include "framework/View.h"
#include "framework/WaitCursor.h"

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, DocumentFactory makeDocument, FrameFactory makeFrame,
                                       CFrameWindow::ViewFactory makeView)
    : m_resourceId(resourceId), m_makeDocument(std::move(makeDocument)), m_makeFrame(std::move(makeFrame)),
      m_makeView(std::move(makeView))
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    m_frame.reset();
    m_document.reset();
}

std::wstring CSingleDocTemplate::GetDocString(int index) const
{
    return CommandStringPart(m_resourceId, index);
}

bool CSingleDocTemplate::EnsureFrame(bool& created)
{
    created = false;
    if (!m_document) m_document = m_makeDocument();
    if (!m_document) return false;
    if (m_frame && m_frame->GetSafeHwnd()) return true;
    m_frame = m_makeFrame();
    if (!m_frame || !m_frame->LoadFrame(m_resourceId, GetDocString(0), *m_document, m_makeView)) {
        m_frame.reset();
        return false;
    }
    created = true;
    return true;
}

void CSingleDocTemplate::DiscardFrame()
{
    if (m_frame) m_frame->DestroyWindow();
    m_frame.reset();
}

void CSingleDocTemplate::SetDefaultTitle()
{
    std::wstring name = GetDocString(1);
    m_document->SetTitle(name.empty() ? LoadResourceString(IDS_UNTITLED) : name);
}

CDocument* CSingleDocTemplate::NewDocument()
{
    bool created = false;
    if (!EnsureFrame(created)) return nullptr;
    if (!m_document->OnNewDocument()) {
        if (created) DiscardFrame();
        return nullptr;
    }
    SetDefaultTitle();
    InitialUpdateFrame();
    return m_document.get();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const std::wstring& path)
{
    bool created = false;
    if (!EnsureFrame(created)) return nullptr;
    const std::wstring fullPath = FullPath(path);
    DocumentLoad load = DocumentLoad::Unreadable;
    {
        CWaitCursor wait;
        load = m_document->OnOpenDocument(fullPath);
    }
    if (load == DocumentLoad::Unreadable) {
        if (created) DiscardFrame();
        return nullptr;
    }
    if (load == DocumentLoad::Refused) {
        // The user has been told; a window made for this file starts empty instead.
        if (created) return NewDocument();
        return nullptr;
    }
    m_document->SetPathName(fullPath);
    if (CApplication* application = CApplication::Get()) application->AddToRecentFileList(fullPath);
    InitialUpdateFrame();
    return m_document.get();
}

void CSingleDocTemplate::InitialUpdateFrame()
{
    CApplication* application = CApplication::Get();
    if (application && !application->GetMainWindow()) application->SetMainWindow(m_frame.get());
    if (CView* view = m_frame->GetActiveView()) view->OnInitialUpdate();
    m_frame->UpdateFrameTitle();
}
