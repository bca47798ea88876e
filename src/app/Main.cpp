// The program's entry point: one application object for the whole process.
#include "app/TarnwickApp.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

CTarnwickApp theApp;

std::vector<std::wstring> CommandLineArguments()
{
    int count = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(CommandLineToArgvW(GetCommandLineW(), &count),
                                                            &LocalFree);
    if (!arguments) return {};
    // The first argument is the program itself.
    return std::vector<std::wstring>(arguments.get() + std::min(count, 1), arguments.get() + count);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    theApp.SetArguments(CommandLineArguments());
    return theApp.Start();
}
