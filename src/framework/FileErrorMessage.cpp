#include "framework/FileErrorMessage.h"

#include "framework/FrameworkIds.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"

namespace {

UINT PromptOf(FileErrorCause cause)
{
    switch (cause) {
    case FileErrorCause::FileNotFound: return IDP_FILE_NOT_FOUND;
    case FileErrorCause::BadPath: return IDP_FILE_BAD_PATH;
    case FileErrorCause::TooManyOpenFiles: return IDP_FILE_TOO_MANY_OPEN;
    case FileErrorCause::AccessDenied: return IDP_FILE_ACCESS_DENIED;
    case FileErrorCause::InvalidFile: return IDP_FILE_INVALID_FILE;
    case FileErrorCause::DirectoryFull: return IDP_FILE_DIRECTORY_FULL;
    case FileErrorCause::HardIO: return IDP_FILE_HARD_IO;
    case FileErrorCause::SharingViolation: return IDP_FILE_SHARING;
    case FileErrorCause::DiskFull: return IDP_FILE_DISK_FULL;
    case FileErrorCause::None:
    case FileErrorCause::Generic: break;
    }
    return IDP_FILE_GENERIC;
}

} // namespace

std::wstring FileErrorText(FileErrorCause cause, const std::wstring& path)
{
    return FormatWithArgument(LoadResourceString(PromptOf(cause)), path);
}

void ReportFileError(FileErrorCause cause, const std::wstring& path, UINT icon)
{
    ShowMessageBox(FileErrorText(cause, path), MB_OK | icon);
}
