// The framework's messages for files that could not be read or written.
#pragma once

#include "base/FileError.h"

#include <windows.h>

#include <string>

// The message for `cause`, naming `path`.
std::wstring FileErrorText(FileErrorCause cause, const std::wstring& path);

// Shows that message; `icon` is the message box's icon.
void ReportFileError(FileErrorCause cause, const std::wstring& path, UINT icon = MB_ICONEXCLAMATION);
