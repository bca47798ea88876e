#include "app/TipDlg.h"

#include "framework/Application.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "view/ContentFile.h"

#include <io.h>

#include <cstring>
#include <ctime>

namespace {

const wchar_t kTipSection[] = L"Tip";
const wchar_t kStartUpEntry[] = L"StartUp";
const wchar_t kFilePosEntry[] = L"FilePos";
const wchar_t kTimeStampEntry[] = L"TimeStamp";
const wchar_t kTipsFileName[] = L"tips.txt";
constexpr int kLineBufferSize = 1000;

CProfile& Settings()
{
    // Without an application there is no settings key: reads give the defaults
    // and writes go nowhere.
    static CProfile none;
    CApplication* application = CApplication::Get();
    return application ? application->GetProfile() : none;
}

// The tips file's creation time in ctime's fixed form, without its line break.
// Replacing the file changes it; editing the file in place does not.
std::wstring CreationTimeText(std::FILE* file)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    FILETIME created{};
    if (!GetFileTime(handle, &created, nullptr, nullptr)) return {};
    ULARGE_INTEGER ticks{};
    ticks.LowPart = created.dwLowDateTime;
    ticks.HighPart = created.dwHighDateTime;
    constexpr ULONGLONG kTicksPerSecond = 10000000;
    constexpr ULONGLONG kSecondsFrom1601To1970 = 11644473600;
    const auto seconds = static_cast<std::time_t>(ticks.QuadPart / kTicksPerSecond - kSecondsFrom1601To1970);
    const char* formatted = std::ctime(&seconds);
    if (!formatted) return {};
    std::string text(formatted);
    while (!text.empty() && std::strchr(" \t\r\n", text.back())) text.pop_back();
    return std::wstring(text.begin(), text.end());
}

// The file is read as bytes so that ftell gives true offsets whatever its line
// ends are; a carriage return before the line feed is dropped here instead.
void DropCarriageReturn(std::string& line)
{
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
        line.erase(line.size() - 2, 1);
    else if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

bool IsCommentOrEmpty(const std::string& line)
{
    return line.empty() || std::strchr(" \t\n;", line.front()) != nullptr;
}

std::wstring FromAnsi(const std::string& text)
{
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { DeleteDC(handle); }
};
using CMemoryDc = CUniqueHandle<MemoryDcTraits>;

// BeginPaint and EndPaint as one object.
class CPaintContext {
public:
    explicit CPaintContext(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    ~CPaintContext() { EndPaint(m_window, &m_paint); }
    CPaintContext(const CPaintContext&) = delete;
    CPaintContext& operator=(const CPaintContext&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

} // namespace

CTipDlg::CTipDlg(HWND parent) : CModalDialog(IDD_TIP, parent)
{
    m_showAtStartup = Settings().GetInt(kTipSection, kStartUpEntry, 0) == 0;
    long position = Settings().GetInt(kTipSection, kFilePosEntry, 0);

    m_tipsFile.reset(_wfopen(LocateContentFile(kTipsFileName).c_str(), L"rb"));
    if (!m_tipsFile) {
        m_tipText = LoadResourceString(IDS_TIP_FILE_MISSING);
        return;
    }
    const std::wstring created = CreationTimeText(m_tipsFile.get());
    if (Settings().GetString(kTipSection, kTimeStampEntry) != created) {
        // A new file: its offsets mean nothing to the old position.
        Settings().WriteString(kTipSection, kTimeStampEntry, created);
        position = 0;
    }
    if (std::fseek(m_tipsFile.get(), position, SEEK_SET) != 0) {
        ShowMessageBox(IDS_TIP_READ_ERROR);
        return;
    }
    TakeNextTip();
}

CTipDlg::~CTipDlg()
{
    if (m_tipsFile) Settings().WriteInt(kTipSection, kFilePosEntry, static_cast<int>(std::ftell(m_tipsFile.get())));
}

bool CTipDlg::ReadNextTip(std::wstring& tip)
{
    char buffer[kLineBufferSize];
    // Reaching the end twice without a tip in between means a whole pass found none.
    int endsReached = 0;
    for (;;) {
        if (!std::fgets(buffer, kLineBufferSize, m_tipsFile.get())) {
            if (++endsReached == 2) return false;
            if (std::fseek(m_tipsFile.get(), 0, SEEK_SET) != 0) {
                ShowMessageBox(IDS_TIP_READ_ERROR);
                return false;
            }
            continue;
        }
        std::string line(buffer);
        DropCarriageReturn(line);
        if (IsCommentOrEmpty(line)) continue;
        tip = FromAnsi(line);
        return true;
    }
}

void CTipDlg::TakeNextTip()
{
    m_fileHasTips = ReadNextTip(m_tipText);
    if (!m_fileHasTips) m_tipText = LoadResourceString(IDS_TIP_READ_ERROR);
}

void CTipDlg::DoDataExchange(bool save)
{
    ExchangeCheck(IDC_TIP_STARTUP, m_showAtStartup, save);
    ExchangeText(IDC_TIP_TEXT, m_tipText, save);
}

BOOL CTipDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    // The picture control only marks where OnPaint draws; shown, it would paint its
    // grey background over the picture and the tip.
    ShowWindow(GetDlgItem(IDC_TIP_PICTURE), SW_HIDE);
    if (!m_tipsFile || !m_fileHasTips) EnableWindow(GetDlgItem(IDC_TIP_NEXT), FALSE);
    return TRUE;
}

void CTipDlg::OnOK()
{
    CModalDialog::OnOK();
    Settings().WriteInt(kTipSection, kStartUpEntry, m_showAtStartup ? 0 : 1);
}

bool CTipDlg::OnCommand(int id, int notification)
{
    if (id != IDC_TIP_NEXT || notification != BN_CLICKED) return false;
    OnNext();
    return true;
}

void CTipDlg::OnNext()
{
    if (!m_tipsFile) return;
    TakeNextTip();
    // The check box goes back to its state at opening too: only 关闭 stores a change.
    UpdateData(false);
    if (!m_fileHasTips) EnableWindow(GetDlgItem(IDC_TIP_NEXT), FALSE);
}

HBRUSH CTipDlg::OnCtlColor(HDC dc, HWND control)
{
    if (GetDlgCtrlID(control) != IDC_TIP_TEXT) return nullptr;
    SetBkColor(dc, RGB(255, 255, 255));
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

RECT CTipDlg::PictureArea() const
{
    RECT area{};
    GetWindowRect(GetDlgItem(IDC_TIP_PICTURE), &area);
    MapWindowPoints(nullptr, GetSafeHwnd(), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

bool CTipDlg::OnPaint()
{
    CPaintContext paint(GetSafeHwnd());
    DrawPicture(paint.Get(), PictureArea());
    return true;
}

void CTipDlg::DrawPicture(HDC dc, const RECT& area) const
{
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    CGdiObject bulb(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LIGHT_BULB), IMAGE_BITMAP, 0, 0,
                               LR_DEFAULTCOLOR));
    BITMAP size{};
    GetObjectW(bulb.Get(), sizeof size, &size);
    CMemoryDc memory(CreateCompatibleDC(dc));
    const HGDIOBJ previous = SelectObject(memory.Get(), bulb.Get());
    // Only the bitmap's own width: beyond it the memory context holds no picture.
    BitBlt(dc, area.left, area.top, size.bmWidth, size.bmHeight, memory.Get(), 0, 0, SRCCOPY);
    SelectObject(memory.Get(), previous);

    RECT band{area.left + size.bmWidth, area.top, area.right, area.top + size.bmHeight};
    const std::wstring heading = LoadResourceString(IDS_TIP_HEADING);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, heading.c_str(), static_cast<int>(heading.size()), &band, DT_SINGLELINE | DT_VCENTER);
}
