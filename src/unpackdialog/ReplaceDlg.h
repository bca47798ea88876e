// The question the unpack run asks before it replaces a file that was there before the run:
// 替换, 跳过, 全部替换, 全部跳过 or 取消, as extractors on Windows ask it.
#pragma once

#include "framework/ModalDialog.h"

#include <string>

class CReplaceDlg : public CModalDialog {
public:
    CReplaceDlg(HWND owner, const std::wstring& existingFile);

    // What DoModal returns: IDOK replaces, IDCANCEL ends the run, or one of these.
    static constexpr INT_PTR kSkip = 1101;
    static constexpr INT_PTR kReplaceAll = 1102;
    static constexpr INT_PTR kSkipAll = 1103;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int notification) override;

private:
    std::wstring m_existingFile;
};
