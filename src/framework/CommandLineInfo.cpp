#include "framework/CommandLineInfo.h"

#include <windows.h>

namespace {

bool SameSwitch(const std::wstring& given, const wchar_t* name)
{
    return CompareStringOrdinal(given.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

bool IsSwitch(const std::wstring& argument)
{
    return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-');
}

bool IsExistingFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void CCommandLineInfo::Parse(const std::vector<std::wstring>& arguments)
{
    for (const std::wstring& argument : arguments) {
        if (!IsSwitch(argument) || (!ParseSwitch(argument.substr(1)) && IsExistingFile(argument))) ParseValue(argument);
    }
}

bool CCommandLineInfo::ParseSwitch(const std::wstring& name)
{
    if (SameSwitch(name, L"pt")) {
        m_shellCommand = ShellCommand::FilePrintTo;
    } else if (SameSwitch(name, L"p")) {
        m_shellCommand = ShellCommand::FilePrint;
    } else if (SameSwitch(name, L"Unregister") || SameSwitch(name, L"Unregserver")) {
        m_shellCommand = ShellCommand::AppUnregister;
    } else if (SameSwitch(name, L"dde")) {
        m_shellCommand = ShellCommand::FileDDE;
    } else if (SameSwitch(name, L"Embedding")) {
        m_runEmbedded = true;
        m_showSplash = false;
    } else if (SameSwitch(name, L"Automation")) {
        m_runAutomated = true;
        m_showSplash = false;
    } else {
        return false;
    }
    return true;
}

void CCommandLineInfo::ParseValue(const std::wstring& value)
{
    if (m_fileName.empty()) {
        m_fileName = value;
        if (m_shellCommand == ShellCommand::FileNew) m_shellCommand = ShellCommand::FileOpen;
    } else if (m_shellCommand == ShellCommand::FilePrintTo) {
        if (m_printerName.empty())
            m_printerName = value;
        else if (m_driverName.empty())
            m_driverName = value;
        else if (m_portName.empty())
            m_portName = value;
    }
}
