#include "cli/Commands.h"

#ifdef _WIN32

int wmain(int argc, wchar_t** argv)
{
    return RunCommandLine(std::vector<std::wstring>(argv + 1, argv + argc));
}

#else

#include "base/Utf8.h"

int main(int argc, char** argv)
{
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(tarnwick::WideFromFileName(argv[i]));
    return RunCommandLine(arguments);
}

#endif
