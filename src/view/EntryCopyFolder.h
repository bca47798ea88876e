// The folder that opened entries are copied to before the shell opens them: "TARNPTMP" in the
// user's temporary folder. Every running copy of the program shares it, so each opening gets a
// folder of its own inside it, and each copy of the program removes only what it made there.
#pragma once

#include <string>

std::wstring EntryCopyFolderPath();

// Makes a new folder inside the entry-copy folder for one opened entry, so that the copy keeps the
// entry's own name (what the opening program shows) without meeting another entry of that name.
// Returns its path; when it could not be made, the path of the attempt, so that writing into it
// fails and says why.
std::wstring MakeEntryCopyPlace();

// Notes a file that this copy of the program wrote into its places.
void RememberEntryCopy(const std::wstring& path);

// Deletes the files this copy wrote, the places it made, then the entry-copy folder if nothing
// else is left in it. Whatever cannot be deleted (a file still open elsewhere, and so its place)
// stays, silently.
void RemoveEntryCopies();
