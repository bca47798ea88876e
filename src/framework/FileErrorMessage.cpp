#include "FileErrorMessage.h"

#include "FrameworkIds.h"
#include "MessageBox.h"
#include "ResourceText.h"

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

FileErrorCause FileErrorCauseOf(DWORD systemError)
{
    switch (systemError) {
    case ERROR_FILE_NOT_FOUND: return FileErrorCause::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_DRIVE: return FileErrorCause::BadPath;
    case ERROR_TOO_MANY_OPEN_FILES: return FileErrorCause::TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return FileErrorCause::AccessDenied;
    case ERROR_INVALID_HANDLE: return FileErrorCause::InvalidFile;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FileErrorCause::SharingViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return FileErrorCause::DiskFull;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: return FileErrorCause::HardIO;
    default: return FileErrorCause::Generic;
    }
}

std::wstring FileErrorText(FileErrorCause cause, const std::wstring& path)
{
    return FormatWithArgument(LoadResourceString(PromptOf(cause)), path);
}

void ReportFileError(FileErrorCause cause, const std::wstring& path, UINT icon)
{
    ShowMessageBox(FileErrorText(cause, path), MB_OK | icon);
}
