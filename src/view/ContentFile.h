// The files that travel with the program, its tips and its own help, are looked for in the current
// folder first, as they always were, and then beside the program, where the shipped folder puts
// them: a shortcut or a file manager may start the program from any folder.
#pragma once

#include <string>

// The name as given when the current folder has it or nothing has it (so that messages and the
// shell see what they always saw), else its path beside the program.
std::wstring LocateContentFile(const std::wstring& name);
std::wstring LocateContentFile(const std::wstring& name, const std::wstring& programFolder);
// A file, not a folder, is there.
bool IsFile(const std::wstring& path);
