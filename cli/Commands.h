// The tool's commands, each returning the process exit code.
#pragma once

#include <string>
#include <vector>

enum ExitCode { kExitOk = 0, kExitCannotOpen = 1, kExitUsage = 2, kExitSomeFailed = 3 };

int RunCommandLine(const std::vector<std::wstring>& arguments);
