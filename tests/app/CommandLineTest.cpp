// The standard command-line record.
#include "framework/CommandLineInfo.h"

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

TEST(CommandLineInfo, TheFirstPlainArgumentIsTheFileAndPrintSwitchesTakeWhatFollows)
{
    EXPECT_EQ(Parse({}).m_shellCommand, Command::FileNew);
    const CCommandLineInfo open = Parse({L"C:\\help\\帮助.chm", L"b.chm"});
    EXPECT_EQ(open.m_shellCommand, Command::FileOpen);
    EXPECT_EQ(open.m_fileName, L"C:\\help\\帮助.chm");
    EXPECT_TRUE(open.m_showSplash);
    EXPECT_EQ(Parse({L"a.chm", L"-p"}).m_shellCommand, Command::FilePrint);
    const CCommandLineInfo printTo = Parse({L"-pt", L"a.chm", L"Printer", L"Driver", L"LPT1:"});
    EXPECT_EQ(printTo.m_fileName + printTo.m_printerName + printTo.m_driverName + printTo.m_portName, L"a.chmPrinterDriverLPT1:");
}

TEST(CommandLineInfo, OtherSwitchesMatchWithoutRegardToCase)
{
    EXPECT_EQ(Parse({L"/DDE"}).m_shellCommand, Command::FileDDE);
    EXPECT_EQ(Parse({L"-UnregServer"}).m_shellCommand, Command::AppUnregister);
    const CCommandLineInfo embedded = Parse({L"-EMBEDDING"});
    EXPECT_TRUE(embedded.m_runEmbedded);
    EXPECT_FALSE(embedded.m_showSplash);
    const CCommandLineInfo automated = Parse({L"/Automation", L"a.chm"});
    EXPECT_TRUE(automated.m_runAutomated);
    EXPECT_EQ(automated.m_shellCommand, Command::FileOpen);
    // Unknown switches change nothing (unless they name a file, which the end-to-end test starts
    // with), and a lone "-" is a file name.
    EXPECT_EQ(Parse({L"/nosuch"}).m_shellCommand, Command::FileNew);
    EXPECT_EQ(Parse({L"-"}).m_fileName, L"-");
}
