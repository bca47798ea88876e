#include "cli/ProgressBar.h"

#include "cli/Console.h"

namespace {

constexpr int kBarWidth = 30;
constexpr std::size_t kEntryWidth = 40;

std::wstring Shortened(const std::wstring& entry)
{
    if (entry.size() <= kEntryWidth) return entry;
    return L"..." + entry.substr(entry.size() - (kEntryWidth - 3));
}

} // namespace

CProgressBar::CProgressBar(int total) : m_total(total), m_enabled(IsTerminal(ConsoleStream::Error)) {}

CProgressBar::~CProgressBar()
{
    if (m_enabled && m_lastPercent >= 0) Print(ConsoleStream::Error, L"\r\x1b[K");
}

void CProgressBar::Show(int done, const std::wstring& entry)
{
    if (!m_enabled || m_total <= 0) return;
    const int percent = static_cast<int>(static_cast<long long>(done) * 100 / m_total);
    // Redrawing only when the figure moves keeps a fast unpack from waiting on the terminal.
    if (percent == m_lastPercent) return;
    m_lastPercent = percent;
    const int filled = percent * kBarWidth / 100;
    std::wstring line = L"\r\x1b[K[" + std::wstring(filled, L'#') + std::wstring(kBarWidth - filled, L' ') + L"] " +
                        std::to_wstring(percent) + L"% " + Shortened(entry);
    Print(ConsoleStream::Error, line);
}
