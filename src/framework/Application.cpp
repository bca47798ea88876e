#include "framework/Application.h"

#include "framework/FrameWindow.h"
#include "framework/FrameworkIds.h"
#include "framework/MessageBox.h"
#include "framework/OpenFileDialog.h"
#include "framework/ResourceText.h"

namespace {

CApplication* g_application = nullptr;

} // namespace

CApplication::CApplication() : m_appName(LoadResourceString(IDS_APP_TITLE))
{
    g_application = this;
    MapCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    MapCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    MapCommandRange(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, [this](UINT id) { OnOpenRecentFile(id); });
    MapUpdateRange(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, [this](CCommandState& state) { OnUpdateRecentFileMenu(state); });
    MapCommand(ID_APP_EXIT, [this] { OnAppExit(); });
}

CApplication::~CApplication()
{
    m_template.reset();
    if (g_application == this) g_application = nullptr;
}

CApplication* CApplication::Get()
{
    return g_application;
}

int CApplication::Start()
{
    if (!InitInstance()) {
        if (m_template) m_template.reset();
        return ExitInstance();
    }
    return Run();
}

bool CApplication::InitInstance()
{
    return true;
}

int CApplication::ExitInstance()
{
    // The recent files were stored as they changed; writing them again here would
    // bring back a settings key that "Unregister" has just removed.
    return static_cast<int>(m_lastMessage.message == WM_QUIT ? m_lastMessage.wParam : 0);
}

int CApplication::Run()
{
    long idleCount = 0;
    for (;;) {
        MSG waiting{};
        while (!PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) break;
        }
        if (!PumpMessage()) return ExitInstance();
        if (IsIdleMessage(m_lastMessage)) idleCount = 0;
    }
}

bool CApplication::PumpMessage()
{
    if (GetMessageW(&m_lastMessage, nullptr, 0, 0) <= 0) {
        m_lastMessage.message = WM_QUIT;
        return false;
    }
    if (!PreTranslateMessage(m_lastMessage)) {
        TranslateMessage(&m_lastMessage);
        DispatchMessageW(&m_lastMessage);
    }
    return true;
}

bool CApplication::IsIdleMessage(const MSG& message)
{
    // Messages that come back by themselves would keep the idle work from ever resting.
    return message.message != WM_PAINT && message.message != WM_TIMER && message.message != 0x0118;
}

bool CApplication::OnIdle(long count)
{
    if (count == 0 && m_mainWindow && m_mainWindow->GetSafeHwnd()) m_mainWindow->UpdateControlBars();
    return false;
}

bool CApplication::PreTranslateMessage(MSG& message)
{
    return m_mainWindow && m_mainWindow->PreTranslateMessage(message);
}

int CApplication::DoMessageBox(const std::wstring& text, UINT type)
{
    HWND owner = m_mainWindow ? m_mainWindow->GetSafeHwnd() : nullptr;
    if (owner && !IsWindowEnabled(owner)) owner = GetLastActivePopup(owner);
    return MessageBoxW(owner, text.c_str(), m_appName.c_str(), WithDefaultIcon(type));
}

bool CApplication::ProcessShellCommand(const CCommandLineInfo& info)
{
    using Command = CCommandLineInfo::ShellCommand;
    switch (info.m_shellCommand) {
    case Command::FileNew:
    // No shell file type is ever registered, so no DDE conversation will follow:
    // a start with "dde" is a start without a file.
    case Command::FileDDE:
        OnFileNew();
        return m_mainWindow != nullptr;
    case Command::FileOpen: return OpenDocumentFile(info.m_fileName) != nullptr;
    case Command::FilePrint:
    case Command::FilePrintTo:
        // Nothing here prints: the file is opened and the program ends.
        OpenDocumentFile(info.m_fileName);
        return false;
    case Command::AppUnregister:
        ShowMessageBox(Unregister() ? IDP_UNREGISTER_DONE : IDP_UNREGISTER_FAILED);
        return false;
    }
    return false;
}

void CApplication::SetRegistryKey(const std::wstring& company)
{
    m_profile = CProfile(L"Software\\" + company + L"\\" + m_appName);
}

int CApplication::GetProfileInt(const std::wstring& section, const std::wstring& entry, int defaultValue) const
{
    return m_profile.GetInt(section, entry, defaultValue);
}

bool CApplication::WriteProfileInt(const std::wstring& section, const std::wstring& entry, int value)
{
    return m_profile.WriteInt(section, entry, value);
}

std::wstring CApplication::GetProfileString(const std::wstring& section, const std::wstring& entry,
                                            const std::wstring& defaultValue) const
{
    return m_profile.GetString(section, entry, defaultValue);
}

bool CApplication::WriteProfileString(const std::wstring& section, const std::wstring& entry, const std::wstring& value)
{
    return m_profile.WriteString(section, entry, value);
}

void CApplication::LoadStdProfileSettings(std::size_t recentFileCount)
{
    constexpr std::size_t kDisplayLength = 30;
    m_recentFiles = std::make_unique<CRecentFileList>(m_profile, ID_FILE_MRU_FIRST, L"Recent File List", L"File%d",
                                                      recentFileCount, kDisplayLength);
    m_recentFiles->ReadList();
}

void CApplication::AddToRecentFileList(const std::wstring& path)
{
    if (m_recentFiles) m_recentFiles->Add(path);
}

bool CApplication::Unregister()
{
    return m_profile.DeleteAll();
}

CDocument* CApplication::OpenDocumentFile(const std::wstring& path)
{
    return m_template ? m_template->OpenDocumentFile(path) : nullptr;
}

void CApplication::OnFileNew()
{
    if (m_template) m_template->NewDocument();
}

void CApplication::OnFileOpen()
{
    const std::wstring path = DoPromptFileName();
    if (!path.empty()) OpenDocumentFile(path);
}

std::wstring CApplication::DoPromptFileName()
{
    return PromptForFileToOpen(m_mainWindow ? m_mainWindow->GetSafeHwnd() : nullptr);
}

void CApplication::OnOpenRecentFile(UINT id)
{
    if (!m_recentFiles) return;
    const std::size_t index = id - ID_FILE_MRU_FIRST;
    if (index >= m_recentFiles->GetCount()) return;
    // An entry that no longer opens is dropped from the list.
    if (!OpenDocumentFile(m_recentFiles->GetPath(index))) m_recentFiles->Remove(index);
}

void CApplication::OnUpdateRecentFileMenu(CCommandState& state)
{
    if (!m_recentFiles) {
        state.Enable(false);
        return;
    }
    if (state.GetId() == ID_FILE_MRU_FIRST)
        m_recentFiles->UpdateMenu(state);
    else
        state.Enable(true);
}

void CApplication::OnAppExit()
{
    // Through WM_CLOSE, so the frame cleans up exactly as for its close box.
    if (m_mainWindow) m_mainWindow->SendMessage(WM_CLOSE);
}

bool CApplication::OpenWithShell(const std::wstring& target)
{
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    // No error box of the shell's own: its texts do not say which of the program's files is missing.
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpFile = target.c_str();
    execute.nShow = SW_SHOW;
    return ShellExecuteExW(&execute) != FALSE;
}
