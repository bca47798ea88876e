// Text output of the command-line tool: UTF-8 on Linux and in redirected
// Windows output, the console's own wide output in a Windows console.
#pragma once

#include <string_view>

enum class ConsoleStream { Out, Error };

void Print(ConsoleStream stream, std::wstring_view text);
// Text already in UTF-8, as the JSON and the listing are built.
void PrintUtf8(ConsoleStream stream, std::string_view text);
bool IsTerminal(ConsoleStream stream);
