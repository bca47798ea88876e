// The standard command-line record.
#include "CommandLineInfo.h"

#include <gtest/gtest.h>

namespace {

CCommandLineInfo Parse(std::vector<std::wstring> arguments)
{
    CCommandLineInfo info;
    info.Parse(arguments);
    return info;
}

using Command = CCommandLineInfo::ShellCommand;

} // namespace

TEST(CommandLineInfo, FileOrNothing)
{
    EXPECT_EQ(Parse({}).m_shellCommand, Command::FileNew);
    const CCommandLineInfo open = Parse({L"C:\\help\\帮助.chm"});
    EXPECT_EQ(open.m_shellCommand, Command::FileOpen);
    EXPECT_EQ(open.m_fileName, L"C:\\help\\帮助.chm");
    EXPECT_TRUE(open.m_showSplash);
    // Only the first plain argument is the file.
    EXPECT_EQ(Parse({L"a.chm", L"b.chm"}).m_fileName, L"a.chm");
}

TEST(CommandLineInfo, PrintSwitchesTakeTheFileAndThePrinterWhicheverComesFirst)
{
    const CCommandLineInfo print = Parse({L"/P", L"a.chm"});
    EXPECT_EQ(print.m_shellCommand, Command::FilePrint);
    EXPECT_EQ(print.m_fileName, L"a.chm");
    EXPECT_EQ(Parse({L"a.chm", L"-p"}).m_shellCommand, Command::FilePrint);

    const CCommandLineInfo printTo = Parse({L"-pt", L"a.chm", L"Printer", L"Driver", L"LPT1:"});
    EXPECT_EQ(printTo.m_shellCommand, Command::FilePrintTo);
    EXPECT_EQ(printTo.m_fileName, L"a.chm");
    EXPECT_EQ(printTo.m_printerName, L"Printer");
    EXPECT_EQ(printTo.m_driverName, L"Driver");
    EXPECT_EQ(printTo.m_portName, L"LPT1:");
}

TEST(CommandLineInfo, OtherSwitchesMatchedWithoutRegardToCase)
{
    EXPECT_EQ(Parse({L"/dde"}).m_shellCommand, Command::FileDDE);
    EXPECT_EQ(Parse({L"/unregister"}).m_shellCommand, Command::AppUnregister);
    EXPECT_EQ(Parse({L"-UnregServer"}).m_shellCommand, Command::AppUnregister);

    const CCommandLineInfo embedded = Parse({L"-EMBEDDING"});
    EXPECT_TRUE(embedded.m_runEmbedded);
    EXPECT_FALSE(embedded.m_showSplash);
    EXPECT_EQ(embedded.m_shellCommand, Command::FileNew);
    const CCommandLineInfo automated = Parse({L"/Automation", L"a.chm"});
    EXPECT_TRUE(automated.m_runAutomated);
    EXPECT_FALSE(automated.m_showSplash);
    EXPECT_EQ(automated.m_shellCommand, Command::FileOpen);

    // Unknown switches change nothing, and a lone "-" or "/" is a file name.
    EXPECT_EQ(Parse({L"/nosuch"}).m_shellCommand, Command::FileNew);
    EXPECT_TRUE(Parse({L"/nosuch"}).m_showSplash);
    EXPECT_EQ(Parse({L"-"}).m_fileName, L"-");
}
