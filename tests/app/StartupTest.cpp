// Start-up with and without a file, and the command lines that end the program.
#include "AppTestSupport.h"

#include "resource.h"

#include <fstream>

TEST_F(AppTest, StartWithHelpFileShowsItsRowsTitleAndTotal)
{
    const std::wstring file = CorpusFile(L"topics.classic.chm");
    ASSERT_TRUE(Start({file}));
    EXPECT_EQ(Title(), L"topics.classic.chm - Tarnwick");
    const std::vector<CMemoryRow> expected = EngineRows(file);
    const std::vector<ShownRow> shown = Rows();
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
    EXPECT_EQ(ThreadDialogCount(), 0);
}

TEST_F(AppTest, UnpackIsEnabledExactlyWhileAHelpFileIsOpen)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
    EXPECT_FALSE(ToolBarButtonEnabled(ID_UNPACK));
    ASSERT_NE(m_app->OpenDocumentFile(CorpusFile(L"example.chm")), nullptr);
    Pump();
    EXPECT_TRUE(ToolBarButtonEnabled(ID_UNPACK));
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
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"不能打开这个文件."});
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
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
