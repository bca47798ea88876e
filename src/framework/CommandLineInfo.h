// The standard command-line record: what to do at start-up, and with which file.
#pragma once

#include <string>
#include <vector>

class CCommandLineInfo {
public:
    enum class ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister };

    // Reads the arguments after the program's name. Switches begin with "/" or
    // "-" and are matched without regard to case; the first other argument is the file.
    // An unknown switch that names an existing file is that file: under Wine an
    // absolute Unix path begins with "/".
    void Parse(const std::vector<std::wstring>& arguments);

    ShellCommand m_shellCommand = ShellCommand::FileNew;
    std::wstring m_fileName;
    std::wstring m_printerName;
    std::wstring m_driverName;
    std::wstring m_portName;
    bool m_showSplash = true;
    bool m_runEmbedded = false;
    bool m_runAutomated = false;

private:
    // False when the switch is not one of the standard ones.
    bool ParseSwitch(const std::wstring& name);
    void ParseValue(const std::wstring& value);
};
