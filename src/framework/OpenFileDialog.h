// The framework's Open dialog, offering all files.
#pragma once

#include <windows.h>

#include <string>

// The chosen file's path; empty when the user cancelled.
std::wstring PromptForFileToOpen(HWND owner);
