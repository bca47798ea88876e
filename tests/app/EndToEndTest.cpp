// Tarnwick.exe started as a user starts it, watched from this second process.
#include "AppTestSupport.h"

#include <commctrl.h>

#include <cstdlib>

namespace {

struct Search {
    DWORD process;
    HWND window = nullptr;
};

// The window of `process` titled with the sample file's name, once it has one.
HWND ProcessWindowTitled(DWORD process)
{
    Search search{process};
    for (int attempt = 0; attempt < 300 && !search.window; ++attempt) {
        EnumWindows(
            [](HWND window, LPARAM parameter) -> BOOL {
                auto& found = *reinterpret_cast<Search*>(parameter);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t text[256] = {};
                GetWindowTextW(window, text, 256);
                if (owner == found.process && lstrcmpW(text, L"topics.classic.chm - Tarnwick") == 0) found.window = window;
                return found.window == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.window) Sleep(100);
    }
    return search.window;
}

} // namespace

TEST(EndToEnd, ProgramStartedWithAHelpFileShowsItAndClosesCleanly)
{
    DeleteSettings();
    WriteSetting(L"Tip", L"StartUp", DWORD{1}); // no tip of the day over the window
    const char* program = std::getenv("TARNWICK_APP_EXE");
    const std::wstring file = CorpusFile(L"topics.classic.chm");
    std::wstring commandLine =
        L"\"" + fs::path(Wide(program && *program ? program : TARNWICK_APP_EXE)).make_preferred().wstring() + L"\" \"" + file + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));

    HWND frame = ProcessWindowTitled(process.dwProcessId);
    EXPECT_NE(frame, nullptr) << "no window titled \"topics.classic.chm - Tarnwick\" within 30 s";
    if (frame) {
        HWND list = FindWindowExW(frame, nullptr, WC_LISTVIEWW, nullptr);
        EXPECT_EQ(static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)), EngineRows(file).size());
        PostMessageW(frame, WM_CLOSE, 0, 0);
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the program did not end cleanly after WM_CLOSE";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteSettings();
}
