#include "app/ReportDlg.h"

#include "resource.h"

namespace {

// An edit control breaks lines only at "\r\n".
std::wstring WithWindowsLineEnds(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (const wchar_t c : text) {
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}

} // namespace

CReportDlg::CReportDlg(std::wstring caption, const std::wstring& text)
    : CModalDialog(IDD_REPORT), m_caption(std::move(caption)), m_text(WithWindowsLineEnds(text))
{
}

BOOL CReportDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SetWindowTextW(GetSafeHwnd(), m_caption.c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_REPORT_TEXT, m_text.c_str());
    return TRUE;
}

bool CReportDlg::OnCommand(int id, int notification)
{
    if (id != IDC_REPORT_COPY || notification != BN_CLICKED) return false;
    CopyAll();
    return true;
}

void CReportDlg::CopyAll()
{
    const HWND text = GetDlgItem(IDC_REPORT_TEXT);
    SendMessageW(text, EM_SETSEL, 0, -1);
    SendMessageW(text, WM_COPY, 0, 0);
}
