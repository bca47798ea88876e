#include "framework/MessageBox.h"

#include "framework/Application.h"
#include "framework/ResourceText.h"
#include "framework/UniqueHandle.h"

namespace {

// The line, or, when it is wider than `width` pixels of the message font, its start and end with
// "..." for the middle: a path keeps its drive and its file name.
std::wstring FittedLine(HDC dc, const std::wstring& line, int width)
{
    const auto shortened = [&line](std::size_t kept) {
        return line.substr(0, kept / 2) + L"..." + line.substr(line.size() - (kept - kept / 2));
    };
    const auto fits = [dc, width](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx <= width;
    };
    if (fits(line)) return line;
    std::size_t low = 0, high = line.size(); // the most characters kept that still fit lies in [low, high)
    while (high - low > 1) {
        const std::size_t middle = (low + high) / 2;
        (fits(shortened(middle)) ? low : high) = middle;
    }
    return shortened(low);
}

std::wstring FitToScreen(const std::wstring& text)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    const CGdiObject font(CreateFontIndirectW(&metrics.lfMessageFont));
    const CWindowDC screen(nullptr);
    const HGDIOBJ previous = SelectObject(screen.Get(), font.Get());
    // Room for the box's icon and margins beside the text.
    const int width = GetSystemMetrics(SM_CXSCREEN) * 3 / 4 - 100;
    std::wstring fitted;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        fitted += FittedLine(screen.Get(), text.substr(start, end - start), width);
        if (end < text.size()) fitted += L'\n';
        start = end + 1;
    }
    SelectObject(screen.Get(), previous);
    return fitted;
}

} // namespace

int ShowMessageBox(const std::wstring& text, UINT type)
{
    // A line that cannot wrap (a long path) would widen the box past the screen.
    const std::wstring fitted = FitToScreen(text);
    if (CApplication* application = CApplication::Get()) return application->DoMessageBox(fitted, type);
    return MessageBoxW(nullptr, fitted.c_str(), nullptr, WithDefaultIcon(type));
}

int ShowMessageBox(UINT promptId, UINT type)
{
    return ShowMessageBox(LoadResourceString(promptId), type);
}

UINT WithDefaultIcon(UINT type)
{
    if (type & MB_ICONMASK) return type;
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL: return type | MB_ICONEXCLAMATION;
    case MB_YESNO:
    case MB_YESNOCANCEL: return type | MB_ICONQUESTION;
    default: return type;
    }
}
