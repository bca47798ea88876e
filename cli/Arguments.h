// The command line as the user typed it: a command, its operands, and options anywhere among them
// ("--" ends the options). A mistake is one line that names it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct CommandLine {
    std::wstring command; // "list", "info", ...; "--help" and "--version" stand for themselves
    std::vector<std::wstring> operands;
    bool json = false;
    bool flat = false;
    std::optional<unsigned> threads;
    std::optional<unsigned> codePage; // --encoding
    std::wstring format = L"site";    // --format
};

struct UsageError {
    std::wstring message; // without the program's name
};

std::variant<CommandLine, UsageError> ParseCommandLine(const std::vector<std::wstring>& arguments);
