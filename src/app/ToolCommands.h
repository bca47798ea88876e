// The tools menu's commands on the help file the window shows. Each runs the command line's own
// library code on an engine of its own, so that the window's engine and rows are left alone.
#pragma once

#include <string>

// The facts, as `info` gives them, in a dialog whose text can be copied.
void ShowFileFacts(const std::wstring& file);
// Every stream read in the progress window; the damaged ones listed at the end.
void CheckHelpFile(const std::wstring& file);
// The recompilable project, or the site, into a folder the user names; at the end the user may open it.
void ExportProject(const std::wstring& file);
void ExportWebSite(const std::wstring& file);
