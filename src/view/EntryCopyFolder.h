// The folder that opened entries are copied to before the shell opens them:
// "TARNPTMP" in the user's temporary folder.
#pragma once

#include <string>

std::wstring EntryCopyFolderPath();

// Deletes every file directly inside the folder, then the folder itself.
// Whatever cannot be deleted (a file still open elsewhere) stays, silently.
void RemoveEntryCopyFolder();
