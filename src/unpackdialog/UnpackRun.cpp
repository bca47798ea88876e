#include "unpackdialog/UnpackRun.h"

#include "framework/FileErrorMessage.h"
#include "framework/MessageBox.h"
#include "resource.h"
#include "unpackdialog/ProgressWnd.h"
#include "unpackdialog/UnpackFailures.h"

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

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

} // namespace

std::vector<int> ChosenRows(CListViewControl list, int fileChoice)
{
    if (fileChoice == IDC_UNPACK_SELECTED) return SelectedRows(list);
    if (fileChoice == IDC_UNPACK_ALL) return AllRows(list);
    return {};
}

bool IsDestinationFailure(const FileError& error, const std::wstring& destination, IFileSystem& fileSystem)
{
    switch (error.cause) {
    case FileErrorCause::DiskFull:
    case FileErrorCause::HardIO:
    case FileErrorCause::TooManyOpenFiles: return true;
    case FileErrorCause::AccessDenied:
        // Refused where the destination itself holds the file, and not because a folder of the
        // entry's name stands there: no permission to write into the destination.
        if (!fileSystem.DirectoryExists(error.path) && ParentOf(error.path) == destination) return true;
        break;
    default: break;
    }
    return !fileSystem.DirectoryExists(destination);
}

void RunUnpack(HWND owner, CListViewControl list, CChmEngine& engine, const UnpackRequest& request)
{
    if (!MakeDirectories(PlatformFileSystem(), request.destination)) {
        ReportFileError(FileErrorCause::BadPath, request.destination);
        return;
    }
    engine.ForgetMadeFolders();
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
            if (error.cause != FileErrorCause::None && IsDestinationFailure(error, request.destination, PlatformFileSystem())) {
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
