// Opening one row of the contents list: its stream is copied flat into the
// entry-copy folder and the copy is handed to the shell.
#pragma once

#include "ChmEngine.h"
#include "ListViewControl.h"

#include <string>

// How a copy is started; the shell in the program, a recorder in the tests.
class IEntryLauncher {
public:
    virtual ~IEntryLauncher() = default;
    // `parameters` empty: the shell's default action on `file`.
    virtual void Launch(const std::wstring& file, const std::wstring& parameters) = 0;
};

class CShellEntryLauncher final : public IEntryLauncher {
public:
    void Launch(const std::wstring& file, const std::wstring& parameters) override;
};

// Starts nothing when the copy could not be made: a missing stream or a row
// whose storage is gone leaves no copy to open, and a file that could not be
// written is reported as the framework reports file errors.
void OpenEntry(CListViewControl list, int row, CChmEngine& engine, IEntryLauncher& launcher);
