// The tip of the day: one hint at a time from "tips.txt" in the current folder (or beside the
// program), remembering across runs where reading stopped and whether to show at start-up.
#pragma once

#include "framework/ModalDialog.h"

#include <cstdio>
#include <memory>
#include <string>

class CTipDlg : public CModalDialog {
public:
    // Reads the stored settings and the next tip straight away: callers look at
    // m_showAtStartup before deciding to run the dialog.
    explicit CTipDlg(HWND parent = nullptr);
    // Stores where reading stopped, whether or not the dialog was shown.
    ~CTipDlg() override;

    // Reads the tip after the current position, going round to the first one after
    // the last; false when the file holds no tip at all. Needs an open file.
    bool ReadNextTip(std::wstring& tip);

    bool m_showAtStartup = true;
    std::wstring m_tipText;

protected:
    void DoDataExchange(bool save) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int notification) override;
    HBRUSH OnCtlColor(HDC dc, HWND control) override;
    bool OnPaint() override;

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    // Fills m_tipText with the next tip, or says the file has none.
    void TakeNextTip();
    void OnNext();
    RECT PictureArea() const;
    void DrawPicture(HDC dc, const RECT& area) const;

    std::unique_ptr<std::FILE, FileCloser> m_tipsFile;
    bool m_fileHasTips = true;
};
