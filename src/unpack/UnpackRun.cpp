#include "UnpackRun.h"

#include "FileErrorMessage.h"
#include "MessageBox.h"
#include "ProgressWnd.h"
#include "UnpackFailures.h"
#include "resource.h"

namespace {

const wchar_t kProgressTitle[] = L"正在展开...";

std::vector<int> SelectedRows(CListViewControl list)
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(list.GetSelectedCount()));
    for (int row = list.GetNextSelected(-1); row != -1; row = list.GetNextSelected(row)) rows.push_back(row);
    return rows;
}

std::vector<int> AllRows(CListViewControl list)
{
    std::vector<int> rows(static_cast<std::size_t>(list.GetItemCount()));
    for (std::size_t row = 0; row < rows.size(); ++row) rows[row] = static_cast<int>(row);
    return rows;
}

} // namespace

std::vector<int> ChosenRows(CListViewControl list, int fileChoice)
{
    if (fileChoice == IDC_UNPACK_SELECTED) return SelectedRows(list);
    if (fileChoice == IDC_UNPACK_ALL) return AllRows(list);
    return {};
}

void RunUnpack(HWND owner, CListViewControl list, CChmEngine& engine, const UnpackRequest& request)
{
    CProgressWnd progress(owner, kProgressTitle, true);
    progress.SetLabelText(L"正在展开:");
    const std::vector<int> rows = ChosenRows(list, request.fileChoice);
    progress.SetRange(0, static_cast<int>(rows.size()), 1);

    CUnpackFailures failures;
    for (const int row : rows) {
        const std::wstring name = list.GetItemText(row, 0);
        const std::wstring internalPath = list.GetItemText(row, 3);
        progress.SetLabelText(L"正在展开:%ls", name.c_str());
        IStorage* parent = engine.GetParentStorage(list.GetItemData(row));
        if (!engine.ExtractStream(parent, internalPath, name, request.destination, request.usePaths)) {
            const FileError error = engine.GetLastFileError();
            if (error.cause != FileErrorCause::None) {
                // The window is top-most: it must not cover the message.
                progress.DestroyWindow();
                ReportFileError(error.cause, error.path);
                return;
            }
            failures.Add(internalPath, name);
        }
        progress.StepIt();
        progress.PumpMessages(true);
        if (progress.IsCancelled()) break;
    }
    progress.DestroyWindow();
    if (failures.Any()) ShowMessageBox(failures.Message());
}
