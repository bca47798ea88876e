#include "Application.h"
#include "ProgressWnd.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace {

const wchar_t kTitle[] = L"正在展开...";
const wchar_t kSection[] = L"设置";

std::wstring Caption(const CProgressWnd& window)
{
    return window.GetWindowText();
}

std::wstring WithPercentage(int percentage)
{
    return std::wstring(kTitle) + L" [" + std::to_wstring(percentage) + L"%]";
}

std::wstring LabelText(const CProgressWnd& window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kLabelId), text, 1024);
    return text;
}

int BarPosition(const CProgressWnd& window)
{
    return static_cast<int>(SendMessageW(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kBarId), PBM_GETPOS, 0, 0));
}

RECT ChildPlace(const CProgressWnd& window, int id)
{
    RECT place{};
    GetWindowRect(GetDlgItem(window.GetSafeHwnd(), id), &place);
    MapWindowPoints(nullptr, window.GetSafeHwnd(), reinterpret_cast<POINT*>(&place), 2);
    return place;
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

TEST_F(ProgressWndTest, StartsShownTopMostAndInactiveWithABareCaption)
{
    const HWND before = GetForegroundWindow();
    CProgressWnd window(nullptr, kTitle, true);
    ASSERT_NE(window.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(IsWindowVisible(window.GetSafeHwnd()));
    EXPECT_TRUE(GetWindowLongW(window.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowLongW(window.GetSafeHwnd(), GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(GetForegroundWindow(), before);
    EXPECT_EQ(Caption(window), kTitle);
    EXPECT_EQ(LabelText(window), L"");
    wchar_t button[32] = {};
    GetWindowTextW(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kCancelId), button, 32);
    EXPECT_STREQ(button, L" 取消 ");
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kBarId), GWL_STYLE) & PBS_SMOOTH);
}

TEST_F(ProgressWndTest, LaysOutLabelAboveBarAndButtonWithTenPixelMargins)
{
    CProgressWnd window(nullptr, kTitle, false);
    RECT client{};
    GetClientRect(window.GetSafeHwnd(), &client);
    const RECT label = ChildPlace(window, CProgressWnd::kLabelId);
    const RECT bar = ChildPlace(window, CProgressWnd::kBarId);
    const RECT cancel = ChildPlace(window, CProgressWnd::kCancelId);
    EXPECT_EQ(client.right, 410);
    EXPECT_EQ(label.left, 10);
    EXPECT_EQ(label.top, 10);
    EXPECT_EQ(label.right, 400);
    EXPECT_EQ(cancel.right, 400);
    EXPECT_EQ(cancel.top, label.bottom + 10);
    EXPECT_EQ(client.bottom, cancel.bottom + 10);
    EXPECT_EQ(bar.left, 10);
    EXPECT_EQ(bar.right, cancel.left - 10);
    EXPECT_GT(bar.top, cancel.top);
    EXPECT_LT(bar.bottom, cancel.bottom);
}

TEST_F(ProgressWndTest, OneRowGoesStraightToAHundredPerCent)
{
    CProgressWnd window(nullptr, kTitle, true);
    window.SetRange(0, 1, 1);
    EXPECT_EQ(window.StepIt(), 0);
    EXPECT_EQ(Caption(window), WithPercentage(100));
    EXPECT_EQ(BarPosition(window), 1);
}

TEST_F(ProgressWndTest, ThreeHundredRowsShowOnePerCentFromTheThirdStep)
{
    CProgressWnd window(nullptr, kTitle, true);
    window.SetRange(0, 300, 1);
    window.StepIt();
    window.StepIt();
    EXPECT_EQ(Caption(window), kTitle);
    window.StepIt();
    EXPECT_EQ(Caption(window), WithPercentage(1));
    for (int step = 4; step <= 299; ++step) window.StepIt();
    EXPECT_EQ(Caption(window), WithPercentage(99));
    window.StepIt();
    EXPECT_EQ(Caption(window), WithPercentage(100));
    EXPECT_EQ(BarPosition(window), 300);
}

TEST_F(ProgressWndTest, TheBarFollowsToWithinOnePixelAndEndsExact)
{
    CProgressWnd window(nullptr, kTitle, true);
    window.SetRange(0, 20000, 1);
    for (int step = 1; step <= 10000; ++step) window.StepIt();
    RECT bar{};
    GetClientRect(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kBarId), &bar);
    EXPECT_NEAR(BarPosition(window), 10000, 20000 / bar.right + 1);
    EXPECT_EQ(window.SetPos(20000), 10000);
    EXPECT_EQ(BarPosition(window), 20000);
}

TEST_F(ProgressWndTest, CaptionIsTouchedOnlyWhenThePercentageChanges)
{
    CProgressWnd window(nullptr, kTitle, true);
    window.SetRange(0, 300, 1);
    window.StepIt();
    window.StepIt();
    window.StepIt();
    // A caption set by someone else survives the steps that keep 1 per cent.
    SetWindowTextW(window.GetSafeHwnd(), L"marker");
    window.StepIt();
    window.StepIt();
    EXPECT_EQ(Caption(window), L"marker");
    window.StepIt();
    EXPECT_EQ(Caption(window), WithPercentage(2));
}

TEST_F(ProgressWndTest, AnEmptyRangeKeepsTheBareCaption)
{
    CProgressWnd window(nullptr, kTitle, true);
    window.SetRange(0, 0, 1);
    window.SetPos(0);
    window.StepIt();
    EXPECT_EQ(Caption(window), kTitle);
}

TEST_F(ProgressWndTest, EscapeCancelsOnlyWhenAskedTo)
{
    CProgressWnd window(nullptr, kTitle, true);
    ThrowAwayWaitingMessages();
    PostMessageW(window.GetSafeHwnd(), WM_CHAR, VK_ESCAPE, 1);
    window.PumpMessages(false);
    EXPECT_FALSE(window.IsCancelled());
    EXPECT_TRUE(IsWindowVisible(window.GetSafeHwnd()));

    PostMessageW(window.GetSafeHwnd(), WM_CHAR, VK_ESCAPE, 1);
    window.PumpMessages(true);
    EXPECT_TRUE(window.IsCancelled());
    EXPECT_FALSE(IsWindowVisible(window.GetSafeHwnd()));

    // A later step shows the window again; the run stops before that happens.
    window.StepIt();
    EXPECT_TRUE(IsWindowVisible(window.GetSafeHwnd()));
    EXPECT_TRUE(window.IsCancelled());
}

TEST_F(ProgressWndTest, TheButtonCancels)
{
    CProgressWnd window(nullptr, kTitle, true);
    ThrowAwayWaitingMessages();
    PostMessageW(window.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(CProgressWnd::kCancelId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kCancelId)));
    window.PumpMessages(true);
    EXPECT_TRUE(window.IsCancelled());
    EXPECT_FALSE(IsWindowVisible(window.GetSafeHwnd()));
}

TEST_F(ProgressWndTest, AQuitMessageIsPostedAgain)
{
    CProgressWnd window(nullptr, kTitle, true);
    ThrowAwayWaitingMessages();
    PostQuitMessage(0);
    window.PumpMessages(true);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_FALSE(window.IsCancelled());
}

TEST_F(ProgressWndTest, PositionIsSavedOnDestructionAndRestored)
{
    {
        CProgressWnd window(nullptr, kTitle, true);
        SetWindowPos(window.GetSafeHwnd(), nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.OnCancel(); // hidden windows save their place too
    }
    EXPECT_EQ(Settings().GetInt(kSection, L"X", -1), 123);
    EXPECT_EQ(Settings().GetInt(kSection, L"Y", -1), 77);
    CProgressWnd again(nullptr, kTitle, true);
    EXPECT_EQ(TopLeft(again).x, 123);
    EXPECT_EQ(TopLeft(again).y, 77);
}

TEST_F(ProgressWndTest, APositionNearTheEdgeIsKeptEvenIfTheWindowReachesPastIt)
{
    const int x = GetSystemMetrics(SM_CXSCREEN) - 5;
    const int y = GetSystemMetrics(SM_CYSCREEN) - 5;
    Settings().WriteInt(kSection, L"X", x);
    Settings().WriteInt(kSection, L"Y", y);
    CProgressWnd window(nullptr, kTitle, true);
    EXPECT_EQ(TopLeft(window).x, x);
    EXPECT_EQ(TopLeft(window).y, y);
}

TEST_F(ProgressWndTest, OffScreenOrMissingPositionsCentreTheWindowInTheWorkArea)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int offScreen[][2] = {{-5, 10}, {GetSystemMetrics(SM_CXSCREEN), 10}, {10, -1},
                                {10, GetSystemMetrics(SM_CYSCREEN)}};
    for (const auto& place : offScreen) {
        Settings().WriteInt(kSection, L"X", place[0]);
        Settings().WriteInt(kSection, L"Y", place[1]);
        CProgressWnd window(nullptr, kTitle, true);
        RECT own{};
        GetWindowRect(window.GetSafeHwnd(), &own);
        EXPECT_LE(std::abs((own.left + own.right) - (work.left + work.right)), 1) << place[0] << "," << place[1];
        EXPECT_LE(std::abs((own.top + own.bottom) - (work.top + work.bottom)), 1) << place[0] << "," << place[1];
    }
}

TEST_F(ProgressWndTest, LabelShowsAmpersandsAndNeverOverrunsItsBuffer)
{
    CProgressWnd window(nullptr, kTitle, true);
    window.SetLabelText(L"正在展开:%ls", L"a&b.htm");
    EXPECT_EQ(LabelText(window), L"正在展开:a&b.htm");
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(window.GetSafeHwnd(), CProgressWnd::kLabelId), GWL_STYLE) & SS_NOPREFIX);

    const std::wstring longName(2000, L'x');
    window.SetLabelText(L"正在展开:%ls", longName.c_str());
    const std::wstring shown = LabelText(window);
    EXPECT_EQ(shown.size(), CProgressWnd::kLabelCapacity - 1);
    EXPECT_EQ(shown.substr(0, 5), L"正在展开:");
}

TEST_F(ProgressWndTest, ACutNeverLeavesHalfASurrogatePair)
{
    CProgressWnd window(nullptr, kTitle, true);
    // 510 characters, then a pair that the 511-character limit would split.
    const std::wstring name = std::wstring(510, L'x') + L"\U00020000";
    window.SetLabelText(L"%ls", name.c_str());
    EXPECT_EQ(LabelText(window), std::wstring(510, L'x'));
}
