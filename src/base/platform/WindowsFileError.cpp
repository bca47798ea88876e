#include "base/FileError.h"

#include <windows.h>

FileErrorCause FileErrorCauseOf(std::uint32_t systemError)
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
    case ERROR_CANNOT_MAKE: return FileErrorCause::DirectoryFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FileErrorCause::SharingViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return FileErrorCause::DiskFull;
    case ERROR_CRC:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE: return FileErrorCause::HardIO;
    default: return FileErrorCause::Generic;
    }
}
