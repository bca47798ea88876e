#include "view/EntryOpener.h"

#include "engine/SafeName.h"
#include "framework/FileErrorMessage.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "resource.h"
#include "view/EntryCopyFolder.h"

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
    const std::wstring folder = EntryCopyFolderPath();
    CreateDirectoryW(folder.c_str(), nullptr);

    IStorage* parent = engine.GetParentStorage(list.GetItemData(row));
    if (!engine.ExtractStream(parent, internalPath, name, folder, FALSE)) {
        const FileError& error = engine.GetLastFileError();
        if (error.cause != FileErrorCause::None) ReportFileError(error.cause, error.path);
        return;
    }
    // The engine wrote the copy under the safe form of the name, which stays
    // inside the folder whatever the help file calls the stream.
    const std::wstring copy = folder + L"\\" + SafeFileName(name);
    RememberEntryCopy(copy);
    const bool started = type.empty() ? launcher.Launch(L"NotePad.exe", copy) : launcher.Launch(copy, L"");
    if (!started) ShowMessageBox(FormatWithArgument(LoadResourceString(IDS_NO_PROGRAM), copy));
}
