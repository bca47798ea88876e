// Tarnwick.exe started as a user starts it, watched from this second process: from another folder
// (as a shortcut or a file manager would), with the help file named by its Unix path (as under Wine).
#include "AppTestSupport.h"
#include "resource.h"

#include <commctrl.h>

#include <cstdlib>

namespace {

// The shown top-level window of `process` with that title, once it has one.
HWND ProcessWindowTitled(DWORD process, const wchar_t* title)
{
    for (int attempt = 0; attempt < 300; ++attempt, Sleep(100)) {
        DWORD owner = 0;
        const HWND window = FindWindowW(nullptr, title);
        if (window && GetWindowThreadProcessId(window, &owner) && owner == process && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

} // namespace

TEST(EndToEnd, ProgramStartedElsewhereWithAUnixPathShowsTheFileAndATipAndClosesCleanly)
{
    DeleteSettings();
    TempFolder elsewhere;
    const char* program = std::getenv("TARNWICK_APP_EXE");
    const std::wstring file = CorpusFile(L"topics.classic.chm");
    std::wstring commandLine = L"\"" + fs::path(Wide(program && *program ? program : TARNWICK_APP_EXE)).make_preferred().wstring() +
                               L"\" " + Wide(PathUtf8(file)).substr(2);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, elsewhere.Path().c_str(),
                               &startup, &process));

    // The tip of the day comes from the tips.txt beside the program.
    const HWND tip = ProcessWindowTitled(process.dwProcessId, L"日积月累 -- Tarnwick 1.3");
    wchar_t tipText[256] = {};
    GetDlgItemTextW(tip, IDC_TIP_TEXT, tipText, 256);
    EXPECT_TRUE(tipText[0] != 0 && lstrcmpW(tipText, L"提示文件不在指定的目录中") != 0) << "the tips file was not found";
    PostMessageW(tip, WM_COMMAND, IDCANCEL, 0);
    const HWND frame = ProcessWindowTitled(process.dwProcessId, L"topics.classic.chm - Tarnwick");
    ASSERT_NE(frame, nullptr) << "no window titled \"topics.classic.chm - Tarnwick\" within 30 s";
    EXPECT_EQ(static_cast<std::size_t>(SendMessageW(FindWindowExW(frame, nullptr, WC_LISTVIEWW, nullptr), LVM_GETITEMCOUNT, 0, 0)),
              EngineRows(file).size());
    PostMessageW(frame, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the program did not end cleanly after WM_CLOSE";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteSettings();
}
