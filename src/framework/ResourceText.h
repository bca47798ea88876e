// Texts from the program's string table.
#pragma once

#include <windows.h>

#include <string>

// Empty when the table has no such string.
std::wstring LoadResourceString(UINT id);

// A command string holds up to three parts separated by "\n": the status-bar
// prompt, the tooltip and the toolbar label. Empty when the part is missing.
std::wstring CommandStringPart(UINT id, int part);

// The text with every "%1" replaced by `argument`.
std::wstring FormatWithArgument(const std::wstring& pattern, const std::wstring& argument);
