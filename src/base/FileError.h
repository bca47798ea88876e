// Why a file could not be read or written: the unpacking core reports it, the window's framework
// shows its usual message for each cause.
#pragma once

#include <cstdint>
#include <string>

enum class FileErrorCause {
    None,
    Generic,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    DirectoryFull,
    HardIO,
    SharingViolation,
    DiskFull,
};

struct FileError {
    FileErrorCause cause = FileErrorCause::None;
    std::uint32_t systemError = 0;
    std::wstring path;
};

#ifdef _WIN32
// The cause that a Windows error code stands for.
FileErrorCause FileErrorCauseOf(std::uint32_t systemError);
#endif
