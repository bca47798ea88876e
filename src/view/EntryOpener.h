// Opening one row of the contents list: its stream is copied into a place of its own in the
// entry-copy folder and the copy is handed to the shell.
#pragma once

#include "engine/ChmEngine.h"
#include "framework/ListViewControl.h"

#include <string>

// How a copy is started; the shell in the program, a recorder in the tests.
class IEntryLauncher {
public:
    virtual ~IEntryLauncher() = default;
    // `parameters` empty: the shell's default action on `file`. False when nothing was started.
    virtual bool Launch(const std::wstring& file, const std::wstring& parameters) = 0;
};

// A type that no program opens gets the shell's own choice of program ("open with").
class CShellEntryLauncher final : public IEntryLauncher {
public:
    bool Launch(const std::wstring& file, const std::wstring& parameters) override;
};

// Each opening gets a new place in the entry-copy folder. A program or script is opened only
// when the user says Yes to running it. Starts nothing when the copy could not be made: a
// missing stream or a row whose storage is gone leaves no copy to open, and a file that could
// not be written is reported as the framework reports file errors. When nothing could start the
// copy, the user is told that no program opens it.
void OpenEntry(CListViewControl list, int row, CChmEngine& engine, IEntryLauncher& launcher);
