// Tarnwick.exe started as a user starts it, watched from this second process.
#include "AppTestSupport.h"

#include <commctrl.h>

#include <cstdlib>

namespace {

struct FoundWindow {
    DWORD process = 0;
    std::wstring title;
    HWND window = nullptr;
};

HWND FindProcessWindow(DWORD process, const std::wstring& title)
{
    FoundWindow search{process, title};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& found = *reinterpret_cast<FoundWindow*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (owner == found.process && found.title == text && IsWindowVisible(window)) {
                found.window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.window;
}

std::wstring ProgramPath()
{
    const char* fromEnvironment = std::getenv("TARNWICK_APP_EXE");
    std::wstring path = Widen(fromEnvironment && *fromEnvironment ? fromEnvironment : TARNWICK_APP_EXE);
    for (wchar_t& character : path) {
        if (character == L'/') character = L'\\';
    }
    return path;
}

} // namespace

TEST(EndToEnd, ProgramStartedWithAHelpFileShowsItAndClosesCleanly)
{
    DeleteSettings();
    // Keeps a tip of the day, once there is one, from covering the window at start-up.
    WriteSetting(L"Tip", L"StartUp", DWORD{1});
    const std::wstring file = CorpusFile(L"topics.classic.chm");
    std::wstring commandLine = L"\"" + ProgramPath() + L"\" \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << "error " << GetLastError() << " starting " << ProgramPath().size();

    HWND frame = nullptr;
    for (int attempt = 0; attempt < 300 && !frame; ++attempt) {
        frame = FindProcessWindow(process.dwProcessId, L"topics.classic.chm - Tarnwick");
        if (!frame) Sleep(100);
    }
    EXPECT_NE(frame, nullptr) << "no window titled \"topics.classic.chm - Tarnwick\" within 30 s";
    if (frame) {
        HWND list = FindWindowExW(frame, nullptr, WC_LISTVIEWW, nullptr);
        HWND status = FindWindowExW(frame, nullptr, STATUSCLASSNAMEW, nullptr);
        ASSERT_NE(list, nullptr);
        ASSERT_NE(status, nullptr);
        const auto rows = static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(rows, EngineRows(file).size());
        wchar_t text[128] = {};
        SendMessageW(status, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(std::wstring(text), L"总共 " + std::to_wstring(rows) + L" 个文件");
        PostMessageW(frame, WM_CLOSE, 0, 0);
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "the program did not end after WM_CLOSE";
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteSettings();
}
