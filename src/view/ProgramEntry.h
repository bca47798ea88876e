// Entries that the shell would run as code rather than show: a help file from anywhere must not
// start one without the user's word.
#pragma once

#include <string>
#include <string_view>

// Whether the shell runs a file of this name: the extensions Windows runs or hands to a script
// host, and those that `pathExt` (PATHEXT's form, ".EXE;.COM") adds. Any case.
bool RunsAsProgram(std::wstring_view fileName, std::wstring_view pathExt);

// The PATHEXT of this process; empty when it has none.
std::wstring PathExtVariable();

// Asks whether to run the entry, with No as the default button; true for Yes.
bool ConfirmRunningProgram(const std::wstring& name);
