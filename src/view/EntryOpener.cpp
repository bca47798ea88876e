#include "view/EntryOpener.h"

#include "engine/SafeName.h"
#include "framework/FileErrorMessage.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "resource.h"
#include "view/EntryCopyFolder.h"
#include "view/ProgramEntry.h"

#include <shellapi.h>

namespace {

constexpr int kNameColumn = 0;
constexpr int kTypeColumn = 2;
constexpr int kPathColumn = 3;

} // namespace

bool CShellEntryLauncher::Launch(const std::wstring& file, const std::wstring& parameters)
{
    const auto started = [&](const wchar_t* verb) {
        return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                                                       nullptr, SW_SHOW)) > 32;
    };
    return started(nullptr) || started(L"openas");
}

void OpenEntry(CListViewControl list, int row, CChmEngine& engine, IEntryLauncher& launcher)
{
    const std::wstring name = list.GetItemText(row, kNameColumn);
    const std::wstring internalPath = list.GetItemText(row, kPathColumn);
    const std::wstring type = list.GetItemText(row, kTypeColumn);
    IStorage* parent = engine.GetParentStorage(list.GetItemData(row));
    if (!parent) return;
    // The engine writes the copy under the safe form of the name, which is what the shell then sees.
    const std::wstring copyName = SafeFileName(name);
    if (RunsAsProgram(copyName, PathExtVariable()) && !ConfirmRunningProgram(name)) return;

    const std::wstring place = MakeEntryCopyPlace();
    if (!engine.ExtractStream(parent, internalPath, name, place, FALSE)) {
        const FileError& error = engine.GetLastFileError();
        if (error.cause != FileErrorCause::None) ReportFileError(error.cause, error.path);
        return;
    }
    const std::wstring copy = place + L"\\" + copyName;
    RememberEntryCopy(copy);
    const bool started = type.empty() ? launcher.Launch(L"NotePad.exe", copy) : launcher.Launch(copy, L"");
    if (!started) ShowMessageBox(FormatWithArgument(LoadResourceString(IDS_NO_PROGRAM), copy));
}
