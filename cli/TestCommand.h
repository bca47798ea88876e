// tarnwick-cli test FILE: reads every stream of a help file, the "#" and "$" ones included, and
// names each damaged one with what is wrong with it.
#pragma once

#include <string>

// kExitOk when everything reads, kExitSomeFailed when something is damaged, kExitCannotOpen
// when the file does not open.
int TestHelpFile(const std::wstring& file, unsigned threads);
