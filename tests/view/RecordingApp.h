// Message boxes and entry launches recorded instead of shown or started; shared with tests/app.
#pragma once

#include "framework/Application.h"
#include "view/EntryOpener.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

template <class App> class Recording : public App {
public:
    int DoMessageBox(const std::wstring& text, UINT type) override
    {
        messages.push_back(text);
        types.push_back(type);
        activeAtMessage.push_back(GetActiveWindow());
        return (type & MB_TYPEMASK) == MB_OK ? IDOK : answer;
    }
    bool OpenWithShell(const std::wstring& target) override
    {
        shellTargets.push_back(target);
        return shellAnswers;
    }
    std::vector<std::wstring> messages, shellTargets;
    std::vector<UINT> types;
    std::vector<HWND> activeAtMessage; // the window that had the keyboard when each message came
    bool shellAnswers = true; // whether a program takes what the shell is given
    int answer = IDNO; // to a question
};
using CRecordingApp = Recording<CApplication>;

class RecordingLauncher final : public IEntryLauncher {
public:
    bool Launch(const std::wstring& file, const std::wstring& parameters) override
    {
        launches.push_back({file, parameters});
        return programs;
    }
    std::vector<std::pair<std::filesystem::path, std::wstring>> launches;
    bool programs = true; // whether a program opens what it is given
};
