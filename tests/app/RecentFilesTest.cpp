// The four-entry recent-file list: the registry, the File menu, and opening from it.
#include "AppTestSupport.h"

#include "framework/FrameworkIds.h"
#include "framework/RecentFileList.h"

namespace {

std::vector<std::wstring> RecentMenuTexts(HWND frame)
{
    HMENU file = GetSubMenu(GetMenu(frame), 0);
    SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    std::vector<std::wstring> texts;
    for (int position = 0; position < GetMenuItemCount(file); ++position) {
        const UINT id = GetMenuItemID(file, position);
        wchar_t text[256] = {};
        GetMenuStringW(file, position, text, 256, MF_BYPOSITION);
        if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) texts.push_back(text);
    }
    return texts;
}

std::wstring RecentFile(int entry) { return ReadSetting(L"Recent File List", (L"File" + std::to_wstring(entry)).c_str()); }

} // namespace

TEST_F(AppTest, OpenedFilesGoFirstInTheRegistryAndTheMenuFourAtMost)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(RecentMenuTexts(Frame().GetSafeHwnd()), std::vector<std::wstring>{L"最近文件"});
    std::vector<std::wstring> copies;
    for (const wchar_t* name : {L"a.chm", L"b.chm", L"c&d.chm", L"d.chm", L"e.chm"}) {
        copies.push_back(CopyCorpusFile(L"combined.chm", m_scratch / name).wstring());
        ASSERT_NE(m_app->OpenDocumentFile(copies.back()), nullptr);
    }
    // Opening a file that is listed already moves it to the top instead of adding it twice.
    ASSERT_NE(m_app->OpenDocumentFile(copies[2]), nullptr);

    const std::vector<std::wstring> expected{copies[2], copies[4], copies[3], copies[1]};
    const std::vector<std::wstring> texts = RecentMenuTexts(Frame().GetSafeHwnd());
    ASSERT_EQ(texts.size(), 4u);
    for (int entry = 0; entry < 4; ++entry) {
        EXPECT_EQ(RecentFile(entry + 1), expected[entry]);
        // A "&" in a path is doubled, so that it shows instead of underlining.
        std::wstring shown;
        for (const wchar_t c : AbbreviatePath(expected[entry], 30)) shown += c == L'&' ? L"&&" : std::wstring(1, c);
        EXPECT_EQ(texts[entry], L"&" + std::to_wstring(entry + 1) + L" " + shown);
    }
    EXPECT_TRUE(RecentFile(5).empty());
}

TEST_F(AppTest, RecentFilesSurviveARestartAndOpenFromTheMenuOrAreDroppedWhenGone)
{
    const std::wstring first = CorpusFile(L"example.chm");
    const fs::path doomed = CopyCorpusFile(L"combined.chm", m_scratch / L"doomed.chm");
    ASSERT_TRUE(Start({first}));
    ASSERT_NE(m_app->OpenDocumentFile(doomed.wstring()), nullptr);
    Shutdown();

    ASSERT_TRUE(Start());
    Command(ID_FILE_MRU_FIRST + 1);
    EXPECT_EQ(Title(), L"example.chm - Tarnwick");
    EXPECT_EQ(Rows().size(), EngineRows(first).size());
    EXPECT_EQ(RecentFile(1), first);

    fs::remove(doomed);
    Command(ID_FILE_MRU_FIRST + 1);
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"找不到" + doomed.wstring() + L"."});
    EXPECT_EQ(RecentFile(1), first);
    EXPECT_TRUE(RecentFile(2).empty());
    EXPECT_EQ(RecentMenuTexts(Frame().GetSafeHwnd()).size(), 1u);
}

TEST(AbbreviatePath, KeepsShortPathsAndShortensLongOnesFromTheMiddle)
{
    EXPECT_EQ(AbbreviatePath(L"C:\\help\\a.chm", 30), L"C:\\help\\a.chm");
    EXPECT_EQ(AbbreviatePath(L"C:\\Program Files\\Vendor\\Product\\Help\\manual.chm", 30), L"C:\\...\\Product\\Help\\manual.chm");
    EXPECT_EQ(AbbreviatePath(L"\\\\server\\share\\deep\\deeper\\deepest\\x.chm", 30), L"\\\\server\\share\\...\\x.chm");
    // A name too long for any folder to stay beside it is shown alone, whole.
    EXPECT_EQ(AbbreviatePath(L"C:\\docs\\a-very-long-help-file-name-indeed.chm", 30), L"a-very-long-help-file-name-indeed.chm");
}
