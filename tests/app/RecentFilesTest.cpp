// The four-entry recent-file list: the registry, the File menu, and opening from it.
#include "AppTestSupport.h"

#include "FrameworkIds.h"
#include "RecentFileList.h"

#include <filesystem>

namespace {

std::vector<std::wstring> RecentMenuTexts(HWND frame)
{
    HMENU file = GetSubMenu(GetMenu(frame), 0);
    SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    std::vector<std::wstring> texts;
    for (int position = 0; position < GetMenuItemCount(file); ++position) {
        const UINT id = GetMenuItemID(file, position);
        if (id < ID_FILE_MRU_FIRST || id > ID_FILE_MRU_LAST) continue;
        wchar_t text[256] = {};
        GetMenuStringW(file, position, text, 256, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

} // namespace

TEST_F(AppTest, OpenedFilesGoFirstInTheRegistryAndTheMenuFourAtMost)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(RecentMenuTexts(Frame().GetSafeHwnd()), std::vector<std::wstring>{L"最近文件"});
    HMENU file = GetSubMenu(GetMenu(Frame().GetSafeHwnd()), 0);
    EXPECT_TRUE(GetMenuState(file, ID_FILE_MRU_FIRST, MF_BYCOMMAND) & MF_GRAYED);

    std::vector<std::wstring> copies;
    for (const wchar_t* name : {L"a.chm", L"b.chm", L"c.chm", L"d.chm", L"e.chm"}) {
        const std::filesystem::path copy = m_scratch / name;
        CopyCorpusFile(L"combined.chm", copy);
        copies.push_back(copy.wstring());
        ASSERT_NE(m_app->OpenDocumentFile(copy.wstring()), nullptr);
    }
    // Opening a file that is listed already moves it to the top instead of adding it twice.
    ASSERT_NE(m_app->OpenDocumentFile(copies[2]), nullptr);

    const std::vector<std::wstring> expected{copies[2], copies[4], copies[3], copies[1]};
    for (int entry = 0; entry < 4; ++entry)
        EXPECT_EQ(ReadSetting(L"Recent File List", (L"File" + std::to_wstring(entry + 1)).c_str()), expected[entry]);
    EXPECT_TRUE(ReadSetting(L"Recent File List", L"File5").empty());

    const std::vector<std::wstring> texts = RecentMenuTexts(Frame().GetSafeHwnd());
    ASSERT_EQ(texts.size(), 4u);
    for (int entry = 0; entry < 4; ++entry) {
        SCOPED_TRACE(texts[entry]);
        const std::wstring prefix = L"&" + std::to_wstring(entry + 1) + L" ";
        ASSERT_EQ(texts[entry].rfind(prefix, 0), 0u);
        const std::wstring shown = texts[entry].substr(prefix.size());
        EXPECT_LE(shown.size(), 30u);
        EXPECT_EQ(shown, AbbreviatePath(expected[entry], 30));
    }
}

TEST_F(AppTest, RecentFilesSurviveARestartAndOpenFromTheMenu)
{
    const std::wstring first = CorpusFile(L"example.chm");
    const std::wstring second = CorpusFile(L"combined.chm");
    ASSERT_TRUE(Start({first}));
    ASSERT_NE(m_app->OpenDocumentFile(second), nullptr);
    Shutdown();

    ASSERT_TRUE(Start());
    EXPECT_EQ(RecentMenuTexts(Frame().GetSafeHwnd()).size(), 2u);
    Command(ID_FILE_MRU_FIRST + 1);
    EXPECT_EQ(Title(), L"example.chm - Tarnwick");
    EXPECT_EQ(Rows().size(), EngineRows(first).size());
    EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), first);
    EXPECT_EQ(ReadSetting(L"Recent File List", L"File2"), second);
}

TEST_F(AppTest, RecentFileThatIsGoneIsReportedAndDroppedFromTheList)
{
    const std::filesystem::path doomed = m_scratch / L"doomed.chm";
    CopyCorpusFile(L"combined.chm", doomed);
    WriteSetting(L"Recent File List", L"File1", doomed.wstring());
    WriteSetting(L"Recent File List", L"File2", CorpusFile(L"example.chm"));
    std::filesystem::remove(doomed);

    ASSERT_TRUE(Start());
    Command(ID_FILE_MRU_FIRST);
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"找不到" + doomed.wstring() + L"."});
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
    EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), CorpusFile(L"example.chm"));
    EXPECT_TRUE(ReadSetting(L"Recent File List", L"File2").empty());
    EXPECT_EQ(RecentMenuTexts(Frame().GetSafeHwnd()).size(), 1u);
}

TEST(AbbreviatePath, KeepsShortPathsAndShortensLongOnesFromTheMiddle)
{
    EXPECT_EQ(AbbreviatePath(L"C:\\help\\a.chm", 30), L"C:\\help\\a.chm");
    EXPECT_EQ(AbbreviatePath(L"C:\\Program Files\\Vendor\\Product\\Help\\manual.chm", 30),
              L"C:\\...\\Product\\Help\\manual.chm");
    EXPECT_EQ(AbbreviatePath(L"\\\\server\\share\\deep\\deeper\\deepest\\x.chm", 30),
              L"\\\\server\\share\\...\\x.chm");
    // A name too long for any folder to stay beside it is shown alone, whole.
    EXPECT_EQ(AbbreviatePath(L"C:\\docs\\a-very-long-help-file-name-indeed.chm", 30),
              L"a-very-long-help-file-name-indeed.chm");
}
