// The progress window: its percentage, bar, cancelling, the quit request, its saved place and its label.
#include "framework/Application.h"
#include "unpackdialog/ProgressWnd.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace {

const wchar_t kTitle[] = L"正在展开...";
const wchar_t kSection[] = L"设置";

std::wstring WithPercentage(int percentage) { return std::wstring(kTitle) + L" [" + std::to_wstring(percentage) + L"%]"; }

std::wstring LabelText(const CProgressWnd& window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kLabelId), text, 1024);
    return text;
}

POINT TopLeft(const CProgressWnd& window)
{
    RECT place{};
    GetWindowRect(window.GetSafeHwnd(), &place);
    return {place.left, place.top};
}

void ThrowAwayWaitingMessages()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

class ProgressWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey(L"Tarnwick View Tests");
        m_app.GetProfile().DeleteAll();
    }
    void TearDown() override { m_app.GetProfile().DeleteAll(); }

    CProfile& Settings() { return m_app.GetProfile(); }

    CApplication m_app;
};

} // namespace

TEST_F(ProgressWndTest, TheCaptionShowsWholePercentagesAndIsSetOnlyWhenTheyChange)
{
    CProgressWnd empty(nullptr, kTitle, true);
    empty.SetRange(0, 0, 1);
    empty.StepIt();
    EXPECT_EQ(empty.GetWindowText(), kTitle);

    CProgressWnd window(nullptr, kTitle, true);
    window.SetRange(0, 300, 1);
    window.StepIt();
    window.StepIt();
    EXPECT_EQ(window.GetWindowText(), kTitle);
    window.StepIt();
    EXPECT_EQ(window.GetWindowText(), WithPercentage(1));
    // A caption set by someone else survives the steps that keep 1 per cent.
    SetWindowTextW(window.GetSafeHwnd(), L"marker");
    window.StepIt();
    window.StepIt();
    EXPECT_EQ(window.GetWindowText(), L"marker");
    for (int step = 6; step <= 299; ++step) window.StepIt();
    EXPECT_EQ(window.GetWindowText(), WithPercentage(99));
    window.StepIt();
    EXPECT_EQ(window.GetWindowText(), WithPercentage(100));
    EXPECT_EQ(SendMessageW(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kBarId), PBM_GETPOS, 0, 0), 300);
}

TEST_F(ProgressWndTest, EscapeCancelsOnlyWhenAskedToTheButtonAlwaysAndQuitNever)
{
    CProgressWnd window(nullptr, kTitle, true);
    ThrowAwayWaitingMessages();
    PostMessageW(window.GetSafeHwnd(), WM_CHAR, VK_ESCAPE, 1);
    window.PumpMessages(false);
    EXPECT_FALSE(window.IsCancelled());
    PostMessageW(window.GetSafeHwnd(), WM_CHAR, VK_ESCAPE, 1);
    window.PumpMessages(true);
    EXPECT_TRUE(window.IsCancelled());
    EXPECT_FALSE(IsWindowVisible(window.GetSafeHwnd()));

    CProgressWnd other(nullptr, kTitle, false);
    ThrowAwayWaitingMessages();
    PostMessageW(other.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(CProgressWnd::kCancelId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(other.GetSafeHwnd(), CProgressWnd::kCancelId)));
    other.PumpMessages(false);
    EXPECT_TRUE(other.IsCancelled());

    // A quit request is left for the loop that owns it.
    CProgressWnd third(nullptr, kTitle, true);
    PostQuitMessage(0);
    third.PumpMessages(true);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(ProgressWndTest, ThePlaceIsSavedAndRestoredUnlessItIsOffTheScreen)
{
    {
        CProgressWnd window(nullptr, kTitle, true);
        SetWindowPos(window.GetSafeHwnd(), nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.OnCancel(); // hidden windows save their place too
    }
    EXPECT_EQ(Settings().GetInt(kSection, L"X", -1), 123);
    EXPECT_EQ(Settings().GetInt(kSection, L"Y", -1), 77);
    EXPECT_EQ(TopLeft(CProgressWnd(nullptr, kTitle, true)).x, 123);

    // Near the edge is kept even if the window reaches past it; off the screen is centred.
    const int right = GetSystemMetrics(SM_CXSCREEN);
    Settings().WriteInt(kSection, L"X", right - 5);
    EXPECT_EQ(TopLeft(CProgressWnd(nullptr, kTitle, true)).x, right - 5);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const int x : {-5, right}) {
        Settings().WriteInt(kSection, L"X", x);
        CProgressWnd window(nullptr, kTitle, true);
        RECT own{};
        GetWindowRect(window.GetSafeHwnd(), &own);
        EXPECT_LE(std::abs((own.left + own.right) - (work.left + work.right)), 1) << x;
    }
}

TEST_F(ProgressWndTest, TheLabelShowsAmpersandsAndIsCutWholeAtItsCapacity)
{
    CProgressWnd window(nullptr, kTitle, true);
    window.SetLabelText(L"正在展开:%ls", L"a&b.htm");
    EXPECT_EQ(LabelText(window), L"正在展开:a&b.htm");
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kLabelId), GWL_STYLE) & SS_NOPREFIX);

    window.SetLabelText(L"正在展开:%ls", std::wstring(2000, L'x').c_str());
    EXPECT_EQ(LabelText(window).size(), CProgressWnd::kLabelCapacity - 1);
    // 510 characters, then a pair that the 511-character limit would split.
    window.SetLabelText(L"%ls", (std::wstring(510, L'x') + L"\U00020000").c_str());
    EXPECT_EQ(LabelText(window), std::wstring(510, L'x'));
}
