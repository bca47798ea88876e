// The folder that opened entries are copied to before the shell opens them: "TARNPTMP" in the
// user's temporary folder. Every running copy of the program shares it, so each removes only
// what it put there itself.
#pragma once

#include <string>

std::wstring EntryCopyFolderPath();

// Notes a file that this copy of the program wrote into the folder.
void RememberEntryCopy(const std::wstring& path);

// Deletes the files this copy wrote into the folder, then the folder if nothing else is left in
// it. Whatever cannot be deleted (a file still open elsewhere) stays, silently.
void RemoveEntryCopies();
