#include "BenchWindow.h"

#include "app/MainFrame.h"
#include "view/TarnwickView.h"

#include <algorithm>
#include <cstdio>

int CBenchApp::DoMessageBox(const std::wstring& text, UINT)
{
    fwprintf(stderr, L"message: %ls\n", text.c_str());
    return IDOK;
}

CBenchWindow::CBenchWindow()
{
    // "/Embedding" keeps the tip of the day from waiting for a click at start-up.
    m_app.SetArguments({L"/Embedding"});
    m_started = m_app.InitInstance();
    if (m_started) m_app.GetProfile().DeleteAll();
    PumpPending();
}

CBenchWindow::~CBenchWindow()
{
    if (!m_started) return;
    Frame().SendMessage(WM_CLOSE);
    PumpPending();
    m_app.GetProfile().DeleteAll();
}

bool CBenchWindow::Open(const std::wstring& path)
{
    const bool opened = m_started && m_app.OpenDocumentFile(path);
    PumpPending();
    return opened;
}

CMainFrame& CBenchWindow::Frame() const
{
    return static_cast<CMainFrame&>(*m_app.GetMainWindow());
}

CTarnwickView& CBenchWindow::View() const
{
    return static_cast<CTarnwickView&>(*Frame().GetActiveView());
}

HWND CBenchWindow::List() const
{
    return View().GetSafeHwnd();
}

void PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double SecondsSince(LARGE_INTEGER start)
{
    const LARGE_INTEGER stop = Now();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
