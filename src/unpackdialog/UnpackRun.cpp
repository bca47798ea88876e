#include "unpackdialog/UnpackRun.h"

#include "engine/DamageReasons.h"
#include "resource.h"
#include "unpackdialog/ProgressWnd.h"
#include "unpackdialog/ReplaceAnswers.h"

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

// Why the last row was not written: what is damaged in the help file, or why its file could not be made.
std::wstring FailureReason(const CChmEngine& engine)
{
    const FileError& error = engine.GetLastFileError();
    if (error.cause == FileErrorCause::None) return DescribeDamage(engine.GetLastDamage());
    return error.cause == FileErrorCause::AccessDenied ? L"拒绝访问" : L"不能创建这个文件";
}

// The engine asks `answers` for as long as this lives, then replaces without asking again.
class ReplaceQuestionInUse {
public:
    ReplaceQuestionInUse(CChmEngine& engine, IReplaceQuestion& answers) : m_engine(engine)
    {
        engine.AskBeforeReplacing(&answers);
    }
    ~ReplaceQuestionInUse() { m_engine.AskBeforeReplacing(nullptr); }
    ReplaceQuestionInUse(const ReplaceQuestionInUse&) = delete;
    ReplaceQuestionInUse& operator=(const ReplaceQuestionInUse&) = delete;

private:
    CChmEngine& m_engine;
};

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

UnpackOutcome RunUnpack(HWND owner, CListViewControl list, CChmEngine& engine, const UnpackRequest& request)
{
    UnpackOutcome outcome;
    outcome.destination = request.destination;
    if (!MakeDirectories(PlatformFileSystem(), request.destination)) {
        outcome.stoppedBy = FileError{FileErrorCause::BadPath, 0, request.destination};
        return outcome;
    }
    engine.ForgetMadeFolders();
    CProgressWnd progress(owner, kProgressTitle, true);
    CReplaceAnswers answers(progress.GetSafeHwnd());
    const ReplaceQuestionInUse asking(engine, answers);
    progress.SetLabelText(L"正在展开:");
    const std::vector<int> rows = ChosenRows(list, request.fileChoice);
    progress.SetRange(0, static_cast<int>(rows.size()), 1);

    bool damaged = false;
    for (const int row : rows) {
        const std::wstring name = list.GetItemText(row, 0);
        const std::wstring internalPath = list.GetItemText(row, 3);
        progress.SetLabelText(L"正在展开:%ls", name.c_str());
        IStorage* parent = engine.GetParentStorage(list.GetItemData(row));
        const bool copied = engine.ExtractStream(parent, internalPath, name, request.destination, request.usePaths);
        if (answers.Cancelled()) {
            outcome.cancelled = true;
            break;
        }
        if (copied) {
            ++outcome.written;
        } else {
            const FileError error = engine.GetLastFileError();
            if (error.cause != FileErrorCause::None && IsDestinationFailure(error, request.destination, PlatformFileSystem())) {
                outcome.stoppedBy = error;
                break;
            }
            damaged |= engine.GetLastDamage().damage != StreamDamage::None;
            outcome.failures.Add(internalPath, name, FailureReason(engine));
        }
        progress.StepIt();
        progress.PumpMessages(true);
        if (progress.IsCancelled()) {
            outcome.cancelled = true;
            break;
        }
    }
    progress.DestroyWindow();
    outcome.skipped = answers.Skipped();
    outcome.written -= outcome.skipped;
    if (outcome.failures.Any()) {
        const std::vector<std::wstring> notes = SectionDamageNotes(SectionState(engine.GetRoot()));
        if (damaged || !notes.empty()) outcome.failures.SetDamagedHelpFile(engine.GetFilePath(), notes);
    }
    return outcome;
}
