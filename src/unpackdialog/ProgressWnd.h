// A small top-most window with a label, a bar and a cancel button that keeps a
// long loop on the user-interface thread responsive: the loop asks it to
// dispatch what is waiting, and it shows the whole-number percentage in its
// caption. Its screen position is kept in the settings between uses.
#pragma once

#include "framework/UniqueHandle.h"
#include "framework/Window.h"

#include <string>

class CProgressWnd : public CWindow {
public:
    // Without an owner the window belongs to the application's main window, if any.
    CProgressWnd(HWND owner, const std::wstring& title, bool smooth);
    ~CProgressWnd() override;

    // True when the window and its three controls exist; the window is then on screen.
    bool Create(HWND owner, const std::wstring& title, bool smooth);
    // Saves the position, then destroys the window.
    bool DestroyWindow();

    void SetRange(int lower, int upper, int step);
    // Both return the previous position.
    int SetPos(int position);
    int StepIt();
    // printf rules; the text is cut to the label's 512-character buffer.
    void SetLabelText(const wchar_t* format, ...);

    // Dispatches every waiting message, stopping early once cancelled. A quit
    // message met here is posted again for the loop that owns it.
    void PumpMessages(bool cancelOnEscape);
    bool IsCancelled() const { return m_cancelled; }
    void OnCancel();

    static constexpr int kLabelId = 11;
    static constexpr int kBarId = 12;
    static constexpr int kCancelId = 10;
    static constexpr std::size_t kLabelCapacity = 512;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool OnEraseBkgnd(HDC dc);
    bool CreateControls(bool smooth);
    void LayOutControls(int lines, int width);
    void RestorePosition();
    void SavePosition();
    void ShowIfHidden();
    void HideIfShown();
    // Pixels of the bar that `position` fills.
    int BarFill(int position) const;
    void MoveBar(int position);

    bool m_cancelled = false;
    int m_previousPosition = 0;
    int m_previousPercentage = 0;
    int m_step = 1;
    int m_upper = 100;
    int m_lower = 0;
    int m_textLines = 4;
    int m_barFill = 0;
    std::wstring m_title;
    std::wstring m_cancelText = L" 取消 ";
    CGdiObject m_font;
    // Kept rather than looked up by id: a look-up costs a trip to Wine's server, and
    // the run touches the label and the bar for every row. They go with the window.
    HWND m_label = nullptr;
    HWND m_bar = nullptr;
    HWND m_button = nullptr;
};
