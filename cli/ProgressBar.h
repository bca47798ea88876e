// A one-line progress bar on the error stream, drawn only for a person at a terminal.
#pragma once

#include <string>

class CProgressBar {
public:
    explicit CProgressBar(int total);
    ~CProgressBar();
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    void Show(int done, const std::wstring& entry);

private:
    int m_total;
    bool m_enabled;
    int m_lastPercent = -1;
};
