// Opens a large help file in the real window, through the recent-file command,
// and prints how long it takes until the list is filled, the total shows and
// the window has painted. A figure, not a test: nothing here fails on time.
#include "ChmEngine.h"
#include "FrameworkIds.h"
#include "MainFrame.h"
#include "MemoryList.h"
#include "ShellFileTypes.h"
#include "TarnwickApp.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class CBenchApp : public CTarnwickApp {
public:
    int DoMessageBox(const std::wstring& text, UINT) override
    {
        fwprintf(stderr, L"message: %ls\n", text.c_str());
        return IDOK;
    }
    void OpenWithShell(const std::wstring&) override {}
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

void PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The same walk into memory: what the engine alone costs, for comparison.
double WalkIntoMemory(const std::wstring& path, int& rows)
{
    const LARGE_INTEGER start = Now();
    CChmEngine engine;
    CMemoryList list;
    CShellFileTypes types;
    if (SUCCEEDED(engine.OpenFile(path))) rows = engine.WalkStorage(list, types, engine.GetRoot(), L"");
    return Seconds(start, Now());
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        fwprintf(stderr, L"usage: window_bench HELPFILE [RUNS]\n");
        return 2;
    }
    const std::wstring path = argv[1];
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;

    CBenchApp app;
    // "/Embedding" keeps the tip of the day from waiting for a click at start-up.
    app.SetArguments({L"/Embedding"});
    if (!app.InitInstance()) return 1;
    // The runs use the recent-file list; it starts empty and goes with the settings at the end.
    app.GetProfile().DeleteAll();
    PumpPending();
    // The first open puts the file first in the recent-file list; every timed run
    // then opens it from there, as a user's click on the File menu entry does.
    if (!app.OpenDocumentFile(path)) return 1;
    auto& frame = static_cast<CMainFrame&>(*app.GetMainWindow());
    HWND list = FindWindowExW(frame.GetSafeHwnd(), nullptr, L"SysListView32", nullptr);

    std::vector<double> times;
    for (int run = 1; run <= runs; ++run) {
        PumpPending();
        const LARGE_INTEGER start = Now();
        frame.SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_MRU_FIRST, 0), 0);
        UpdateWindow(frame.GetSafeHwnd());
        const LARGE_INTEGER stop = Now();
        const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        const std::wstring status = frame.GetStatusBar()->GetPaneText(0);
        const bool totalShown = status == L"总共 " + std::to_wstring(rows) + L" 个文件";
        times.push_back(Seconds(start, stop));
        wprintf(L"run %d: %.3f s, %d rows, total %ls\n", run, times.back(), rows, totalShown ? L"shown" : L"MISSING");
    }
    int memoryRows = 0;
    const double memory = WalkIntoMemory(path, memoryRows);
    wprintf(L"median from the open command to the filled list with its total: %.3f s (target < 0.5 s)\n",
            Median(times));
    wprintf(L"for comparison, the same walk into memory: %.3f s, %d rows\n", memory, memoryRows);

    frame.SendMessage(WM_CLOSE);
    PumpPending();
    app.GetProfile().DeleteAll();
    return 0;
}
