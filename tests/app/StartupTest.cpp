// Start-up with and without a file, the command line and the command lines that end the program.
#include "AppTestSupport.h"

#include "framework/CommandLineInfo.h"
#include "resource.h"

#include <fstream>

TEST_F(AppTest, StartWithHelpFileShowsItsRowsTitleAndTotal)
{
    const std::wstring file = CorpusFile(L"topics.classic.chm");
    ASSERT_TRUE(Start({file}));
    EXPECT_EQ(Title(), L"topics.classic.chm - Tarnwick");
    const std::vector<CMemoryRow> expected = EngineRows(file);
    const std::vector<TestRow> shown = Rows();
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t row = 0; row < shown.size(); ++row) {
        SCOPED_TRACE(shown[row].path + shown[row].name);
        EXPECT_EQ((std::array{shown[row].name, shown[row].size, shown[row].type, shown[row].path}), expected[row].cells);
        EXPECT_EQ(shown[row].itemData, static_cast<std::intptr_t>(row));
        EXPECT_EQ(shown[row].image, ShellIconIndex(shown[row].name));
    }
    EXPECT_EQ(StatusText(), L"总共 " + std::to_wstring(shown.size()) + L" 个文件");
    // A menu's prompt gives way to the total again.
    Frame().SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_UNPACK, MF_STRING), reinterpret_cast<LPARAM>(GetMenu(Frame().GetSafeHwnd())));
    EXPECT_NE(StatusText().find(L"展开"), std::wstring::npos);
    Frame().SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(), L"总共 " + std::to_wstring(shown.size()) + L" 个文件");
    // The refill leaves no "please wait" window behind.
    EXPECT_EQ(FindThreadWindow([](HWND window) {
        wchar_t name[16] = {};
        return GetClassNameW(window, name, 16) && lstrcmpW(name, L"#32770") == 0;
    }), nullptr);
}

TEST_F(AppTest, AFileThatIsMissingOrNoHelpFileOnTheCommandLine)
{
    const std::wstring missing = (m_scratch / L"不存在.chm").wstring();
    EXPECT_FALSE(Start({missing}));
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"找不到" + missing + L"."});
    EXPECT_EQ(m_app->GetMainWindow(), nullptr);
    Shutdown();

    const fs::path text = m_scratch / L"notes.chm";
    std::ofstream(text) << "just some text, not a help file";
    ASSERT_TRUE(Start({text.wstring()}));
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"不能打开这个文件.\n" + text.wstring() +
                                                         L"\n这不是编译的 HTML 帮助文件 (.chm), 或者它的文件头或目录已损坏"});
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
    EXPECT_FALSE(ToolBarButtonEnabled(ID_UNPACK)); // enabled only while a help file is open
    EXPECT_TRUE(ReadSetting(L"Recent File List", L"File1").empty());
}

TEST_F(AppTest, SwitchesUnregisterPrintAndEmbedding)
{
    WriteSetting(L"Recent File List", L"File1", L"C:\\a.chm");
    EXPECT_FALSE(Start({L"-UNREGSERVER"}));
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"系统注册表记录和INI文件(如果有的话)已经被删除."});
    Shutdown();
    // Ending the program must not bring the key back.
    EXPECT_FALSE(SettingsKeyExists());
    WriteSetting(L"Tip", L"StartUp", DWORD{1});

    const std::wstring file = CorpusFile(L"example.chm");
    EXPECT_FALSE(Start({L"/p", file}));
    EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), file);
    Shutdown();

    for (const wchar_t* option : {L"/Embedding", L"/dde"}) {
        ASSERT_TRUE(Start({option}));
        EXPECT_TRUE(IsWindowVisible(Frame().GetSafeHwnd())) << option;
        Shutdown();
    }
}

namespace {

CCommandLineInfo Parse(std::vector<std::wstring> arguments)
{
    CCommandLineInfo info;
    info.Parse(arguments);
    return info;
}

using Command = CCommandLineInfo::ShellCommand;

} // namespace

TEST(CommandLineInfo, TheFirstPlainArgumentIsTheFileAndSwitchesMatchWithoutRegardToCase)
{
    EXPECT_EQ(Parse({}).m_shellCommand, Command::FileNew);
    const CCommandLineInfo open = Parse({L"C:\\help\\帮助.chm", L"b.chm"});
    EXPECT_EQ(open.m_shellCommand, Command::FileOpen);
    EXPECT_EQ(open.m_fileName, L"C:\\help\\帮助.chm");
    EXPECT_TRUE(open.m_showSplash);
    EXPECT_EQ(Parse({L"a.chm", L"-p"}).m_shellCommand, Command::FilePrint);
    const CCommandLineInfo printTo = Parse({L"-pt", L"a.chm", L"Printer", L"Driver", L"LPT1:"});
    EXPECT_EQ(printTo.m_fileName + printTo.m_printerName + printTo.m_driverName + printTo.m_portName, L"a.chmPrinterDriverLPT1:");
    EXPECT_EQ(Parse({L"/DDE"}).m_shellCommand, Command::FileDDE);
    EXPECT_EQ(Parse({L"-UnregServer"}).m_shellCommand, Command::AppUnregister);
    EXPECT_FALSE(Parse({L"-EMBEDDING"}).m_showSplash);
    const CCommandLineInfo automated = Parse({L"/Automation", L"a.chm"});
    EXPECT_TRUE(automated.m_runAutomated);
    EXPECT_EQ(automated.m_shellCommand, Command::FileOpen);
    // Unknown switches change nothing (unless they name a file, which the end-to-end test starts
    // with), and a lone "-" is a file name.
    EXPECT_EQ(Parse({L"/nosuch"}).m_shellCommand, Command::FileNew);
    EXPECT_EQ(Parse({L"-"}).m_fileName, L"-");
}
