// Runs the real application objects in the test process: windows, controls, registry and all.
// Message boxes, shell commands and opened entries are recorded instead of shown or started.
#pragma once

#include "../view/RecordingApp.h"
#include "../view/TestList.h"
#include "app/MainFrame.h"
#include "app/TarnwickApp.h"
#include "engine/MemoryList.h"
#include "support/TempFolder.h"
#include "support/TestData.h"
#include "view/TarnwickDoc.h"
#include "view/TarnwickView.h"

#include <gtest/gtest.h>

#include <memory>

using CTestApp = Recording<CTarnwickApp>;

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the application and runs its start-up with these arguments.
    bool Start(std::vector<std::wstring> arguments = {});
    // Dispatches what waits in the queue, then lets the idle work run.
    void Pump();
    // Closes the main window (if any) as the user would and ends the application.
    void Shutdown();

    CMainFrame& Frame() const;
    CTarnwickView& View() const { return *dynamic_cast<CTarnwickView*>(Frame().GetActiveView()); }
    CTarnwickDoc& Document() const { return *dynamic_cast<CTarnwickDoc*>(Frame().GetActiveDocument()); }
    CListViewControl List() const { return CListViewControl(View().GetSafeHwnd()); }
    std::wstring Title() const { return Frame().GetWindowText(); }
    std::wstring StatusText() const { return Frame().GetStatusBar()->GetPaneText(0); }
    std::vector<TestRow> Rows() const;
    bool ToolBarButtonEnabled(UINT command) const { return Frame().GetToolBar().SendMessage(TB_ISBUTTONENABLED, command) != 0; }
    // Runs a command as the menu would.
    void Command(UINT id)
    {
        Frame().SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }
    // Presses the keys together on the keyboard, with the main window in front.
    void PressKeys(std::initializer_list<WORD> keys);

    std::unique_ptr<CTestApp> m_app;
    TempFolder m_scratch;
    bool m_quitSeen = false;
};

inline std::wstring CorpusFile(const wchar_t* name) { return (CorpusDir() / name).wstring(); }
inline std::wstring FixtureFile(const wchar_t* relativePath) { return (FixturesDir() / relativePath).wstring(); }
// A writable copy of a sample file (the samples themselves are read-only).
fs::path CopyCorpusFile(const wchar_t* name, const fs::path& copy);
// The rows the engine's walk gives for `path`, with the shell's type names.
std::vector<CMemoryRow> EngineRows(const std::wstring& path);
// The shell's small-icon index for a name, as the list should show it.
int ShellIconIndex(const std::wstring& name);

// The application's settings, under HKEY_CURRENT_USER.
void DeleteSettings();
bool SettingsKeyExists();
// A text value, or a number in decimal; empty when there is none.
std::wstring ReadSetting(const wchar_t* section, const wchar_t* entry);
void WriteSetting(const wchar_t* section, const wchar_t* entry, const std::wstring& value);
void WriteSetting(const wchar_t* section, const wchar_t* entry, DWORD value);
