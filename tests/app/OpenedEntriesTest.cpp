// Opening entries in the running window: each copy in a place of its own, a question before a
// program runs, and the zone mark of a downloaded help file on what is opened from it.
#include "AppTestSupport.h"

#include "resource.h"
#include "support/ChmBuilder.h"
#include "support/DialogDriver.h"
#include "support/ZoneMarkingFileSystem.h"
#include "view/EntryCopyFolder.h"

#include <algorithm>

namespace {

class OpenedEntriesTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_file = (m_scratch / "entries.chm").wstring();
        WriteFileBytes(m_file, BuildChm({{"/a/index.html", "a"}, {"/b/index.html", "b"}, {"/setup.exe", "MZ"}, {"/tool.xyz", "xyz"}}));
        ASSERT_TRUE(Start({m_file}));
        View().SetEntryLauncher(&m_launcher);
    }

    // Enter on the row, as the user opens it from the keyboard.
    void OpenRow(const wchar_t* name, const wchar_t* path = L"")
    {
        const std::vector<TestRow> rows = Rows();
        const auto row = std::ranges::find_if(rows, [&](const TestRow& r) { return r.name == name && r.path == path; });
        ASSERT_NE(row, rows.end()) << name;
        const int index = static_cast<int>(row - rows.begin());
        ListView_SetItemState(View().GetSafeHwnd(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(View().GetSafeHwnd(), index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        PressKeys({VK_RETURN});
    }

    fs::path Launched(std::size_t index) const { return m_launcher.launches.at(index).first; }

    std::wstring m_file;
    RecordingLauncher m_launcher;
};

} // namespace

// Another running copy of the program has an index.html of its own in the shared folder.
TEST_F(OpenedEntriesTest, SameNamedEntriesKeepTheirNameInPlacesOfTheirOwnAndClosingRemovesOnlyThose)
{
    const fs::path folder = EntryCopyFolderPath();
    const fs::path theirs = folder / L"1" / L"index.html";
    fs::create_directories(theirs.parent_path());
    WriteFileBytes(theirs, {'t'});
    OpenRow(L"index.html", L"a\\");
    OpenRow(L"index.html", L"b\\");
    ASSERT_EQ(m_launcher.launches.size(), 2u);
    for (const std::size_t i : {0u, 1u}) {
        EXPECT_EQ(Launched(i).filename(), L"index.html");
        EXPECT_EQ(Launched(i).parent_path().parent_path(), folder);
    }
    EXPECT_NE(Launched(0).parent_path(), Launched(1).parent_path());
    EXPECT_EQ(ReadFileText(Launched(0)), "a");
    EXPECT_EQ(ReadFileText(Launched(1)), "b");
    EXPECT_EQ(ReadFileText(theirs), "t");

    Shutdown();
    for (const std::size_t i : {0u, 1u}) EXPECT_FALSE(fs::exists(Launched(i).parent_path()));
    EXPECT_EQ(ReadFileText(theirs), "t");
    fs::remove_all(theirs.parent_path());
}

TEST_F(OpenedEntriesTest, AProgramRunsOnlyWhenTheUserSaysYesToTheQuestionWhoseDefaultIsNo)
{
    const std::wstring question = L"setup.exe 是程序或脚本: 运行它, 就是在这台电脑上执行帮助文件里的代码.\n\n只有信任这个帮助文件的来源时才运行它. 要运行吗?";
    OpenRow(L"setup.exe");
    EXPECT_TRUE(m_launcher.launches.empty());
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{question});
    ASSERT_EQ(m_app->types.size(), 1u);
    EXPECT_EQ(m_app->types[0] & (MB_TYPEMASK | MB_DEFMASK), UINT{MB_YESNO | MB_DEFBUTTON2});
    EXPECT_FALSE(fs::exists(EntryCopyFolderPath() + L"\\1\\setup.exe")) << "nothing is written on a No";

    m_app->answer = IDYES;
    OpenRow(L"setup.exe");
    ASSERT_EQ(m_launcher.launches.size(), 1u);
    EXPECT_EQ(ReadFileText(Launched(0)), "MZ");

    // A page is not asked about, nor an unknown type; what PATHEXT adds is.
    m_app->answer = IDNO;
    OpenRow(L"tool.xyz");
    OpenRow(L"index.html", L"a\\");
    EXPECT_EQ(m_launcher.launches.size(), 3u);
    EXPECT_EQ(m_app->messages.size(), 2u);
    SetEnvironmentVariableW(L"PATHEXT", L".COM;.EXE;.XYZ");
    OpenRow(L"tool.xyz");
    SetEnvironmentVariableW(L"PATHEXT", nullptr);
    EXPECT_EQ(m_launcher.launches.size(), 3u);
    EXPECT_EQ(m_app->messages.size(), 3u);
}

// Under Wine no help file carries Windows' mark: the help file's mark is one the file system
// stand-in reports.
TEST_F(OpenedEntriesTest, WhatIsOpenedFromAMarkedFileIsMarkedUntilTheUserHasTheMarkRemoved)
{
    ZoneMarkingFileSystem files;
    files.marks[m_file] = kInternetZoneMark;
    struct Restore {
        CChmEngine& engine;
        ~Restore() { engine.SetFileSystem(PlatformFileSystem()); }
    } restore{Document().m_engine};
    Document().m_engine.SetFileSystem(files);
    ASSERT_NE(m_app->OpenDocumentFile(m_file), nullptr);
    OpenRow(L"index.html", L"a\\");
    ASSERT_EQ(m_launcher.launches.size(), 1u);
    EXPECT_EQ(files.ReadZoneMark(Launched(0).wstring()), kInternetZoneMark);
    const fs::path out = m_scratch / "out";
    fs::create_directories(out);
    {
        DialogDriver unpack(
            [&](HWND dialog) {
                SetDlgItemTextW(dialog, IDC_UNPACK_DESTINATION, out.c_str());
                ClickButton(dialog, IDC_UNPACK_ALL);
            },
            CloseBy::Ok);
        Command(ID_UNPACK);
    }
    ASSERT_GE(FileCount(out), 3);
    for (const auto& file : fs::recursive_directory_iterator(out))
        if (file.is_regular_file()) EXPECT_EQ(files.ReadZoneMark(file.path().wstring()), kInternetZoneMark) << file.path();

    const std::wstring prompt = m_file + L"\n带有 Windows 给下载的文件加的标记. 因为这个标记, 帮助查看器可能只显示空白页;\n从这个文件展开或打开的文件也带着这个标记.\n\n只有信任这个文件的来源时才去掉标记. 要去掉吗?";
    Command(ID_REMOVE_ZONE_MARK);
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{prompt});
    EXPECT_EQ(m_app->types.at(0) & (MB_TYPEMASK | MB_DEFMASK), UINT{MB_YESNO | MB_DEFBUTTON2});
    EXPECT_EQ(files.ReadZoneMark(m_file), kInternetZoneMark) << "No keeps the mark";

    files.removable = false;
    m_app->answer = IDYES;
    Command(ID_REMOVE_ZONE_MARK);
    EXPECT_EQ(m_app->messages.back(), L"不能去掉 " + m_file + L" 的下载标记.");
    OpenRow(L"index.html", L"b\\");
    EXPECT_EQ(files.ReadZoneMark(Launched(1).wstring()), kInternetZoneMark);

    files.removable = true;
    Command(ID_REMOVE_ZONE_MARK);
    EXPECT_EQ(files.ReadZoneMark(m_file), "");
    EXPECT_EQ(StatusText(), L"已去掉 " + m_file + L" 的下载标记");
    OpenRow(L"index.html", L"b\\");
    EXPECT_EQ(files.ReadZoneMark(Launched(2).wstring()), "");
    const HMENU tools = GetSubMenu(GetMenu(Frame().GetSafeHwnd()), 3);
    Frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(tools), 3);
    EXPECT_TRUE(GetMenuState(tools, ID_REMOVE_ZONE_MARK, MF_BYCOMMAND) & MF_GRAYED) << "nothing left to remove";

    // Another file is read afresh.
    files.marks[m_file] = kInternetZoneMark;
    ASSERT_NE(m_app->OpenDocumentFile(m_file), nullptr);
    EXPECT_TRUE(Document().IsMarkedAsDownloaded());
}
