// The shell's folder browser as the program's destinations use it: from the desktop, file-system
// folders only.
#pragma once

#include <optional>
#include <string>

// The chosen folder's path; none when the user cancels.
std::optional<std::wstring> BrowseForFolder();
