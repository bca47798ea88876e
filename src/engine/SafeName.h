// Turns an element name from a help file into a file name that stays inside the
// folder it is written to, on every platform.
//
// The rule, applied to one name at a time:
// - characters Windows forbids in names (control characters, < > : " / \ | ? *)
//   become %XX, two upper-case hex digits of the character's code;
// - dots and spaces at the end of the name become %2E and %20, so "." and ".."
//   become %2E and %2E%2E;
// - a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any
//   extension) gets its first character written as %XX;
// - a % that is followed by two hex digits becomes %25, so that every %XX in the
//   result stands for exactly one changed character and no two names collide;
// - the empty name becomes %00.
// Names that need none of this are kept as they are.
#pragma once

#include <string>
#include <string_view>

std::wstring SafeFileName(std::wstring_view name);

#include <vector>

// SafeFileName of each level of an internal path written "a\b\" (empty for the root).
std::vector<std::wstring> SafeFolderNames(std::wstring_view internalPath);
