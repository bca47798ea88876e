#include "unpackdialog/UnpackOutcome.h"

#include "framework/FileErrorMessage.h"
#include "framework/MessageBox.h"

std::wstring StatusText(const UnpackOutcome& outcome)
{
    std::wstring text = L"已展开 " + std::to_wstring(outcome.written) + L" 个文件到 " + outcome.destination;
    if (outcome.skipped > 0) text += L", 跳过 " + std::to_wstring(outcome.skipped) + L" 个已有的文件";
    if (outcome.failures.Any()) text += L", " + std::to_wstring(outcome.failures.Count()) + L" 个文件未能展开";
    if (outcome.stoppedBy) text += L", 目标文件夹不能写入, 展开中止";
    else if (outcome.cancelled) text += L", 其余已取消";
    return text;
}

void ShowUnpackOutcome(const UnpackOutcome& outcome, CFrameWindow* frame, HWND list)
{
    if (frame) {
        // Focusing the list activates the frame only while this program is in the foreground.
        SetForegroundWindow(frame->GetSafeHwnd());
        frame->SetIdleText(StatusText(outcome));
    }
    SetFocus(list);
    if (outcome.stoppedBy)
        ReportFileError(outcome.stoppedBy->cause, outcome.stoppedBy->path);
    else if (outcome.failures.Any())
        ShowMessageBox(outcome.failures.Message());
}
