// Opening help files into the running window: the Open dialog, a second file,
// files that are not help files or cannot be read, New, and Ctrl+S.
#include "AppTestSupport.h"

#include "ChmBuilder.h"
#include "FrameworkIds.h"
#include "resource.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

struct OpenDialogSeen {
    std::wstring filter;
    bool found = false;
};

HWND FindOpenDialog(DWORD thread)
{
    struct Search {
        HWND found = nullptr;
    } search;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM parameter) -> BOOL {
            wchar_t name[64] = {};
            wchar_t title[64] = {};
            GetClassNameW(window, name, 64);
            GetWindowTextW(window, title, 64);
            if (lstrcmpW(name, L"#32770") == 0 && lstrcmpW(title, L"打开") == 0 && IsWindowVisible(window)) {
                reinterpret_cast<Search*>(parameter)->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Plays the user in the Open dialog from another thread: reads its filter,
// types the path and presses the Open button.
void AnswerOpenDialog(DWORD thread, std::wstring path, OpenDialogSeen& seen)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        HWND dialog = FindOpenDialog(thread);
        if (!dialog) {
            Sleep(50);
            continue;
        }
        Sleep(200);
        wchar_t filter[128] = {};
        SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
        seen.filter = filter;
        seen.found = true;
        for (int control : {edt1, cmb13}) {
            if (HWND field = GetDlgItem(dialog, control); field && IsWindowVisible(field))
                SetWindowTextW(field, path.c_str());
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return;
    }
}

std::wstring CopyTo(const std::filesystem::path& folder, const wchar_t* corpusName, const wchar_t* newName)
{
    return CopyCorpusFile(corpusName, folder / newName).wstring();
}

} // namespace

TEST_F(AppTest, OpenCommandShowsTheOpenDialogWithAllFilesAndOpensTheChoice)
{
    ASSERT_TRUE(Start());
    // A Chinese name: the path must survive the dialog, the title and the recent-file list.
    const std::wstring file = CopyTo(m_scratch.Path(), L"combined.chm", L"帮助文件.chm");
    OpenDialogSeen seen;
    std::thread user(AnswerOpenDialog, GetCurrentThreadId(), file, std::ref(seen));
    PostMessageW(Frame().GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, 0), 0);
    Pump();
    user.join();

    ASSERT_TRUE(seen.found) << "no Open dialog appeared";
    EXPECT_EQ(seen.filter, L"所有文件(*.*)");
    EXPECT_EQ(Title(), L"帮助文件.chm - Tarnwick");
    EXPECT_EQ(static_cast<std::size_t>(List().GetItemCount()), EngineRows(file).size());
    EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), file);
}

TEST_F(AppTest, SecondFileReplacesEveryRowAndNumbersItemDataFromZero)
{
    ASSERT_TRUE(Start({FixtureFile(L"varied.chm")}));
    const std::size_t first = Rows().size();
    ASSERT_GT(first, 20u);
    // Chinese names come through the list unchanged.
    bool chinese = false;
    for (const ShownRow& row : Rows()) chinese |= row.name == L"第一章.htm" && row.path == L"说明\\";
    EXPECT_TRUE(chinese);

    const std::wstring second = CorpusFile(L"example.chm");
    ASSERT_NE(m_app->OpenDocumentFile(second), nullptr);
    Pump();
    const std::vector<ShownRow> rows = Rows();
    const std::vector<CMemoryRow> expected = EngineRows(second);
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(rows[row].name, expected[row].cells[0]);
        EXPECT_EQ(rows[row].itemData, static_cast<std::intptr_t>(row));
    }
    EXPECT_EQ(Document().m_engine.GetParentStorages().GetSize(), static_cast<int>(rows.size()));
    EXPECT_EQ(StatusText(), L"总共 " + std::to_wstring(rows.size()) + L" 个文件");
    EXPECT_EQ(Title(), L"example.chm - Tarnwick");
}

TEST_F(AppTest, HelpFileWithoutStreamsGivesAnEmptyListAndATotalOfNought)
{
    const std::string path = (m_scratch / "internals-only.chm").string();
    WriteFileBytes(path, BuildChm({{"/#SYSTEM", "system"}, {"/$FIftiMain", ""}, {"/$OBJINST/", ""}}));
    ASSERT_TRUE(Start({CorpusFile(L"example.chm")}));
    ASSERT_GT(List().GetItemCount(), 0);

    ASSERT_NE(m_app->OpenDocumentFile(Widen(path)), nullptr);
    Pump();
    EXPECT_TRUE(m_app->messages.empty());
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(StatusText(), L"总共 0 个文件");
    EXPECT_TRUE(ToolBarButtonEnabled(ID_UNPACK));
}

TEST_F(AppTest, FileThatIsNoHelpFileIsRefusedOnceAndTheShownFileStaysUsable)
{
    const std::wstring shown = CorpusFile(L"combined2.chm");
    ASSERT_TRUE(Start({shown}));
    const std::vector<ShownRow> before = Rows();
    const std::filesystem::path text = m_scratch / L"readme.chm";
    std::ofstream(text) << "plain text";
    const std::filesystem::path empty = m_scratch / L"empty.chm";
    std::ofstream{empty};

    for (const std::filesystem::path& bad : {text, empty}) {
        SCOPED_TRACE(bad.wstring());
        m_app->messages.clear();
        EXPECT_EQ(m_app->OpenDocumentFile(bad.wstring()), nullptr);
        Pump();
        EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"不能打开这个文件."});
        EXPECT_EQ(Title(), L"combined2.chm - Tarnwick");
        EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), shown);
        ASSERT_EQ(Rows().size(), before.size());
        // The rows still name storages that hold their streams, and Unpack stays on.
        for (const ShownRow& row : before) {
            IStorage* parent = Document().m_engine.GetParentStorage(row.itemData);
            ASSERT_NE(parent, nullptr);
            IStream* stream = nullptr;
            EXPECT_TRUE(SUCCEEDED(parent->OpenStream(row.name.c_str(), nullptr, STGM_READ, 0, &stream)));
            if (stream) stream->Release();
        }
        EXPECT_NE(Document().m_engine.GetRoot(), nullptr);
        EXPECT_TRUE(ToolBarButtonEnabled(ID_UNPACK));
    }
}

TEST_F(AppTest, FileThatCannotBeReadShowsTheFrameworkMessageAndChangesNothing)
{
    const std::wstring shown = CorpusFile(L"example.chm");
    ASSERT_TRUE(Start({shown}));
    const std::wstring locked = CopyTo(m_scratch.Path(), L"combined.chm", L"locked.chm");
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    EXPECT_EQ(m_app->OpenDocumentFile(locked), nullptr);
    CloseHandle(holder);
    Pump();
    EXPECT_EQ(m_app->messages, std::vector<std::wstring>{L"访问" + locked + L"时发生共享冲突."});
    EXPECT_EQ(Title(), L"example.chm - Tarnwick");
    EXPECT_EQ(Rows().size(), EngineRows(shown).size());
    EXPECT_EQ(ReadSetting(L"Recent File List", L"File1"), shown);
}

TEST_F(AppTest, NewKeepsTheShownFileUnderTheUntitledName)
{
    const std::wstring file = CorpusFile(L"combined.chm");
    ASSERT_TRUE(Start({file}));
    const std::size_t rows = Rows().size();
    Command(ID_FILE_NEW);
    EXPECT_EQ(Title(), L"未命名的 - Tarnwick");
    EXPECT_EQ(Rows().size(), rows);
    EXPECT_EQ(Rows().front().itemData, 0);
}

TEST_F(AppTest, SaveKeyNeverWritesAFile)
{
    const std::wstring file = CopyTo(m_scratch.Path(), L"example.chm", L"copy.chm");
    const auto sizeBefore = std::filesystem::file_size(file);
    const auto timeBefore = std::filesystem::last_write_time(file);
    ASSERT_TRUE(Start({file}));

    Command(ID_FILE_SAVE);
    PressKeys({VK_CONTROL, 'S'});
    EXPECT_EQ(std::filesystem::file_size(file), sizeBefore);
    EXPECT_EQ(std::filesystem::last_write_time(file), timeBefore);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_scratch.Path())) ++files;
    EXPECT_EQ(files, 1u);
    EXPECT_TRUE(m_app->messages.empty());
}
