#include "cli/Console.h"

#include "base/Utf8.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

FILE* FileOf(ConsoleStream stream) { return stream == ConsoleStream::Out ? stdout : stderr; }

#ifdef _WIN32
HANDLE HandleOf(ConsoleStream stream)
{
    return GetStdHandle(stream == ConsoleStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}
#endif

} // namespace

bool IsTerminal(ConsoleStream stream)
{
#ifdef _WIN32
    DWORD mode = 0;
    return GetConsoleMode(HandleOf(stream), &mode) != 0;
#else
    return isatty(fileno(FileOf(stream))) != 0;
#endif
}

void Print(ConsoleStream stream, std::wstring_view text)
{
#ifdef _WIN32
    if (IsTerminal(stream)) {
        std::fflush(FileOf(stream));
        DWORD written = 0;
        WriteConsoleW(HandleOf(stream), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
#endif
    const std::string bytes = tarnwick::Utf8FromWide(text);
    std::fwrite(bytes.data(), 1, bytes.size(), FileOf(stream));
}

void PrintUtf8(ConsoleStream stream, std::string_view text)
{
#ifdef _WIN32
    if (IsTerminal(stream)) return Print(stream, tarnwick::WideFromUtf8(text));
#endif
    std::fwrite(text.data(), 1, text.size(), FileOf(stream));
}
