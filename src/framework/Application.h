// The application object: start-up, the message loop, settings, the recent
// files, the document template and the commands that need no window.
#pragma once

#include "framework/CommandLineInfo.h"
#include "framework/CommandTarget.h"
#include "framework/DocTemplate.h"
#include "framework/Profile.h"
#include "framework/RecentFileList.h"

#include <memory>
#include <string>
#include <vector>

class CFrameWindow;

class CApplication : public CCommandTarget {
public:
    CApplication();
    ~CApplication() override;
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // The one application object of the process; null when there is none.
    static CApplication* Get();

    // InitInstance, then the message loop; the process's exit code.
    int Start();
    virtual bool InitInstance();
    virtual int ExitInstance();
    // Runs the message loop until the quit message.
    int Run();
    // Retrieves and dispatches one message, waiting for it; false on the quit message.
    bool PumpMessage();
    // Work done when no message waits; true asks to be called again.
    virtual bool OnIdle(long count);
    virtual bool PreTranslateMessage(MSG& message);

    virtual int DoMessageBox(const std::wstring& text, UINT type);
    // Hands `target` to the shell for its default action; false when no program took it. The
    // shell shows nothing itself: the caller says what is missing.
    virtual bool OpenWithShell(const std::wstring& target);

    const std::wstring& GetAppName() const { return m_appName; }
    CFrameWindow* GetMainWindow() const { return m_mainWindow; }
    void SetMainWindow(CFrameWindow* frame) { m_mainWindow = frame; }

    // The arguments after the program's name.
    void SetArguments(std::vector<std::wstring> arguments) { m_arguments = std::move(arguments); }
    const std::vector<std::wstring>& GetArguments() const { return m_arguments; }
    void ParseCommandLine(CCommandLineInfo& info) const { info.Parse(m_arguments); }
    // Carries out the record; false ends the program.
    bool ProcessShellCommand(const CCommandLineInfo& info);

    // Settings go under HKEY_CURRENT_USER\Software\<company>\<application name>.
    void SetRegistryKey(const std::wstring& company);
    CProfile& GetProfile() { return m_profile; }
    int GetProfileInt(const std::wstring& section, const std::wstring& entry, int defaultValue) const;
    bool WriteProfileInt(const std::wstring& section, const std::wstring& entry, int value);
    std::wstring GetProfileString(const std::wstring& section, const std::wstring& entry,
                                  const std::wstring& defaultValue = {}) const;
    bool WriteProfileString(const std::wstring& section, const std::wstring& entry, const std::wstring& value);
    void LoadStdProfileSettings(std::size_t recentFileCount);
    CRecentFileList* GetRecentFileList() const { return m_recentFiles.get(); }
    void AddToRecentFileList(const std::wstring& path);

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) { m_template = std::move(docTemplate); }
    CSingleDocTemplate* GetDocTemplate() const { return m_template.get(); }
    CDocument* OpenDocumentFile(const std::wstring& path);

    void OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(UINT id);
    void OnAppExit();

protected:
    // The path chosen in the Open dialog; empty when it was cancelled.
    virtual std::wstring DoPromptFileName();
    // Removes the settings key; true when nothing of it is left.
    bool Unregister();

private:
    void OnUpdateRecentFileMenu(CCommandState& state);
    static bool IsIdleMessage(const MSG& message);

    std::wstring m_appName;
    std::vector<std::wstring> m_arguments;
    CProfile m_profile;
    std::unique_ptr<CRecentFileList> m_recentFiles;
    std::unique_ptr<CSingleDocTemplate> m_template;
    CFrameWindow* m_mainWindow = nullptr;
    MSG m_lastMessage{};
};
