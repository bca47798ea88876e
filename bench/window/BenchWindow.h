// What the window benchmarks share: the real application with the large help
// file open in its window, a clock, and the median of a few runs.
#pragma once

#include "app/TarnwickApp.h"

#include <windows.h>

#include <string>
#include <vector>

class CMainFrame;
class CTarnwickView;

// The application with message boxes printed instead of shown and nothing
// started through the shell.
class CBenchApp : public CTarnwickApp {
public:
    int DoMessageBox(const std::wstring& text, UINT) override;
    bool OpenWithShell(const std::wstring&) override { return true; }
};

// Starts the application without its tip of the day and with empty settings,
// and opens `path`; the settings are removed again when it ends.
class CBenchWindow {
public:
    CBenchWindow();
    ~CBenchWindow();
    CBenchWindow(const CBenchWindow&) = delete;
    CBenchWindow& operator=(const CBenchWindow&) = delete;

    bool Open(const std::wstring& path);
    CMainFrame& Frame() const;
    CTarnwickView& View() const;
    HWND List() const;

private:
    CBenchApp m_app;
    bool m_started = false;
};

void PumpPending();
LARGE_INTEGER Now();
double SecondsSince(LARGE_INTEGER start);
double Median(std::vector<double> values);
