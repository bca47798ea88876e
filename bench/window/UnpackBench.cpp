// Unpacks every row of a large help file with internal paths, by the window's
// run over its real list and then by the Windows command-line tool in a
// process of its own, into fresh folders, and prints both times and their
// ratio. A figure, not a test: nothing here fails on time.
#include "app/MainFrame.h"
#include "BenchWindow.h"
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "unpackdialog/ProgressWnd.h"
#include "unpackdialog/UnpackRun.h"
#include "view/TarnwickDoc.h"
#include "view/TarnwickView.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

int FilesUnder(const fs::path& folder)
{
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) ++files;
    return files;
}

double RunCommandLine(std::wstring commandLine, DWORD& exitCode)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const LARGE_INTEGER start = Now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    const CFileHandle processHandle(process.hProcess);
    const CFileHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    const double seconds = SecondsSince(start);
    GetExitCodeProcess(processHandle.Get(), &exitCode);
    return seconds;
}

// What the two calls the run makes on the progress window for every row cost
// on their own: the label's new text and the look at the message queue.
void PrintPerRowCosts(int rows)
{
    constexpr int kCalls = 2000;
    CProgressWnd progress(nullptr, L"正在展开...", true);
    LARGE_INTEGER start = Now();
    for (int call = 0; call < kCalls; ++call) progress.SetLabelText(L"正在展开:page%05d.htm", call);
    const double label = SecondsSince(start) / kCalls;
    start = Now();
    for (int call = 0; call < kCalls; ++call) progress.PumpMessages(true);
    const double pump = SecondsSince(start) / kCalls;
    progress.DestroyWindow();
    wprintf(L"per row, on their own: setting the label %.1f us, pumping an empty queue %.1f us; "
            L"for %d rows %.2f s\n",
            label * 1e6, pump * 1e6, rows, (label + pump) * rows);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        fwprintf(stderr, L"usage: unpack_bench HELPFILE TARNWICK-CLI.EXE EMPTY-FOLDER\n");
        return 2;
    }
    const fs::path helpFile = argv[1];
    const fs::path commandLineTool = argv[2];
    const fs::path target = argv[3];
    fs::create_directories(target / L"window");
    fs::create_directories(target / L"cli");

    CBenchWindow window;
    if (!window.Open(helpFile.wstring())) return 1;
    CTarnwickView& view = window.View();
    const UnpackRequest request{(target / L"window").wstring(), IDC_UNPACK_ALL, true};
    LARGE_INTEGER start = Now();
    RunUnpack(window.Frame().GetSafeHwnd(), view.GetListCtrl(), view.GetDocument()->m_engine, request);
    const double windowSeconds = SecondsSince(start);
    wprintf(L"window: %.2f s, %d files\n", windowSeconds, FilesUnder(target / L"window"));

    DWORD exitCode = 1;
    const double commandLineSeconds =
        RunCommandLine(L"\"" + commandLineTool.wstring() + L"\" unpack \"" + helpFile.wstring() + L"\" \"" +
                           (target / L"cli").wstring() + L"\"",
                       exitCode);
    wprintf(L"command line: %.2f s, %d files, exit code %lu\n", commandLineSeconds, FilesUnder(target / L"cli"),
            exitCode);
    wprintf(L"ratio window / command line: %.2f (target at most 1.2)\n", windowSeconds / commandLineSeconds);
    PrintPerRowCosts(FilesUnder(target / L"window"));
    return 0;
}
