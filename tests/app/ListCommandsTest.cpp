// The contents list's own commands in the running window, driven as the user
// drives them: header clicks, a double-click, the context menu and the unpack
// dialog with its run.
#include "AppTestSupport.h"

#include "ColumnSort.h"
#include "DialogDriver.h"
#include "EntryOpener.h"
#include "resource.h"

#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <utility>

namespace fs = std::filesystem;

namespace {

class RecordingLauncher final : public IEntryLauncher {
public:
    void Launch(const std::wstring& file, const std::wstring& parameters) override
    {
        launched.push_back({file, parameters});
    }
    std::vector<std::pair<std::wstring, std::wstring>> launched;
};

LPARAM CentreOf(const RECT& rect)
{
    return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// The header tells the list, the list tells the frame, and the frame hands the click to the view.
void ClickHeader(HWND list, int column)
{
    const HWND header = ListView_GetHeader(list);
    RECT item{};
    Header_GetItemRect(header, column, &item);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(item));
    SendMessageW(header, WM_LBUTTONUP, 0, CentreOf(item));
}

void DoubleClickRow(HWND list, int row)
{
    RECT label{};
    ListView_GetItemRect(list, row, &label, LVIR_LABEL);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(label));
    SendMessageW(list, WM_LBUTTONUP, 0, CentreOf(label));
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, CentreOf(label));
    SendMessageW(list, WM_LBUTTONUP, 0, CentreOf(label));
}

// What the list sends its parent on a right-click; the menu then waits for a key.
void RightClickList(HWND list)
{
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    click.hdr.code = NM_RCLICK;
    click.iItem = -1;
    SendMessageW(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

// Presses a menu item's underlined letter once the context menu is up: the
// menu's own loop runs thread timers and reads the keys of the whole thread.
class MenuKey {
public:
    MenuKey(HWND target, wchar_t letter)
    {
        s_target = target;
        s_letter = letter;
        m_timer = SetTimer(nullptr, 0, 50, &OnTimer);
    }
    ~MenuKey() { KillTimer(nullptr, m_timer); }
    MenuKey(const MenuKey&) = delete;
    MenuKey& operator=(const MenuKey&) = delete;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        PostMessageW(s_target, WM_CHAR, s_letter, 0);
    }

    static inline HWND s_target = nullptr;
    static inline wchar_t s_letter = 0;
    UINT_PTR m_timer = 0;
};

// A hidden window that runs `onMessage` when a posted WM_APP reaches it, which
// is when somebody's message loop dispatches it.
class MessageProbe {
public:
    explicit MessageProbe(std::function<void()> onMessage) : m_onMessage(std::move(onMessage))
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TarnwickTestProbe";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MessageProbe() { DestroyWindow(m_window); }
    MessageProbe(const MessageProbe&) = delete;
    MessageProbe& operator=(const MessageProbe&) = delete;

    void Post() const { PostMessageW(m_window, WM_APP, 0, 0); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* probe = reinterpret_cast<MessageProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_APP && probe) {
            probe->m_onMessage();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    std::function<void()> m_onMessage;
    HWND m_window = nullptr;
};

bool ProgressWindowShown()
{
    bool shown = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t title[64] = {};
            GetWindowTextW(window, title, 64);
            if (std::wstring(title).rfind(L"正在展开...", 0) == 0 && IsWindowVisible(window))
                *reinterpret_cast<bool*>(found) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

std::wstring SelectedTreeText(HWND tree)
{
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetSelection(tree);
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (!item.hItem || !TreeView_GetItem(tree, &item)) return {};
    return text;
}

// The folder browser fills its tree as it starts: the folder is chosen again
// until the tree shows it chosen.
bool ChooseFolder(HWND browse, const fs::path& folder)
{
    const HWND tree = FindWindowExW(browse, nullptr, WC_TREEVIEWW, nullptr);
    for (int attempt = 0; attempt < 100; ++attempt) {
        SendMessageW(browse, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        if (SelectedTreeText(tree) == folder.filename().wstring()) return true;
        Sleep(20);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return false;
}

int FilesUnder(const fs::path& folder)
{
    return static_cast<int>(std::count_if(fs::recursive_directory_iterator(folder), fs::recursive_directory_iterator(),
                                          [](const fs::directory_entry& entry) { return entry.is_regular_file(); }));
}

class ListCommandsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start({FixtureFile(L"varied.chm")}));
        View().SetEntryLauncher(&m_launcher);
        m_rows = Rows();
        ASSERT_GT(m_rows.size(), 40u);
    }

    HWND ListWindow() const { return View().GetSafeHwnd(); }

    // Each stream's item data, by its internal path and name.
    static std::map<std::wstring, std::intptr_t> ItemDataByEntry(const std::vector<ShownRow>& rows)
    {
        std::map<std::wstring, std::intptr_t> byEntry;
        for (const ShownRow& row : rows) byEntry[row.path + row.name] = row.itemData;
        return byEntry;
    }

    void SelectOnly(std::initializer_list<int> rows)
    {
        ListView_SetItemState(ListWindow(), -1, 0, LVIS_SELECTED);
        for (int row : rows) ListView_SetItemState(ListWindow(), row, LVIS_SELECTED, LVIS_SELECTED);
    }

    RecordingLauncher m_launcher;
    std::vector<ShownRow> m_rows;
};

} // namespace

TEST_F(ListCommandsTest, HeaderClicksSortTheRowsWithTheirItemData)
{
    ClickHeader(ListWindow(), 1);
    std::vector<ShownRow> rows = Rows();
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const ShownRow& a, const ShownRow& b) {
        return std::stoull(a.size) < std::stoull(b.size);
    }));

    ClickHeader(ListWindow(), 1);
    rows = Rows();
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const ShownRow& a, const ShownRow& b) {
        return std::stoull(a.size) > std::stoull(b.size);
    }));
    EXPECT_EQ(rows.front().name, L"mixed.dat");

    ClickHeader(ListWindow(), 0);
    rows = Rows();
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const ShownRow& a, const ShownRow& b) {
        return CompareAnsiText(ToAnsiText(a.name), ToAnsiText(b.name)) < 0;
    }));
    EXPECT_EQ(ItemDataByEntry(rows), ItemDataByEntry(m_rows));
}

TEST_F(ListCommandsTest, DoubleClickOpensTheClickedRowAfterASort)
{
    ClickHeader(ListWindow(), 1);
    ClickHeader(ListWindow(), 1);
    const ShownRow second = Rows()[1];

    DoubleClickRow(ListWindow(), 1);

    ASSERT_EQ(m_launcher.launched.size(), 1u);
    const fs::path copy = m_launcher.launched[0].first;
    EXPECT_EQ(copy.filename().wstring(), second.name);
    EXPECT_EQ(copy.parent_path().filename().wstring(), L"TARNPTMP");
    EXPECT_EQ(std::to_wstring(fs::file_size(copy)), second.size);
    EXPECT_EQ(fs::file_size(copy), fs::file_size(FixtureFile(L"varied.extracted") + L"\\" + second.path + second.name));
}

TEST_F(ListCommandsTest, ContextMenuRunsTheSelectedRow)
{
    SelectOnly({3});
    {
        MenuKey run(ListWindow(), L'r');
        RightClickList(ListWindow());
    }
    ASSERT_EQ(m_launcher.launched.size(), 1u);
    EXPECT_EQ(fs::path(m_launcher.launched[0].first).filename().wstring(), m_rows[3].name);
}

TEST_F(ListCommandsTest, UnpackStartsWithTheChoiceTheSelectionSuggests)
{
    const auto shownChoice = [this](const std::function<void()>& open) {
        int checked = 0;
        DialogDriver driver(
            [&checked](HWND dialog) {
                checked = IsChecked(dialog, IDC_UNPACK_SELECTED) ? IDC_UNPACK_SELECTED
                          : IsChecked(dialog, IDC_UNPACK_ALL)    ? IDC_UNPACK_ALL
                                                                 : 0;
            },
            CloseBy::Escape);
        open();
        EXPECT_TRUE(driver.DialogWasShown());
        return checked;
    };

    SelectOnly({});
    EXPECT_EQ(shownChoice([this] { Command(ID_UNPACK); }), IDC_UNPACK_ALL);
    SelectOnly({2, 5});
    EXPECT_EQ(shownChoice([this] { Command(ID_UNPACK); }), IDC_UNPACK_SELECTED);
    EXPECT_EQ(shownChoice([this] {
                  MenuKey unpack(ListWindow(), L'u');
                  RightClickList(ListWindow());
              }),
              IDC_UNPACK_SELECTED);
    EXPECT_TRUE(m_app->messages.empty());
}

TEST_F(ListCommandsTest, TheMainWindowStaysDisabledWhileTheRunWorks)
{
    const fs::path target = m_scratch.Path() / L"out";
    fs::create_directories(target);
    bool probed = false;
    bool mainWindowEnabled = true;
    bool progressShown = false;
    MessageProbe probe([&] {
        probed = true;
        mainWindowEnabled = IsWindowEnabled(Frame().GetSafeHwnd()) != FALSE;
        progressShown = ProgressWindowShown();
    });
    DialogDriver driver(
        [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_UNPACK_DESTINATION, target.c_str());
            ClickButton(dialog, IDC_UNPACK_ALL);
            // The next loop to dispatch it is the run's, between its first rows.
            probe.Post();
        },
        CloseBy::Ok);

    Command(ID_UNPACK);

    ASSERT_TRUE(probed);
    EXPECT_FALSE(mainWindowEnabled);
    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(IsWindowEnabled(Frame().GetSafeHwnd()));
    EXPECT_FALSE(ProgressWindowShown());
    EXPECT_EQ(FilesUnder(target), static_cast<int>(m_rows.size()));
    EXPECT_TRUE(m_app->messages.empty());
}

TEST_F(ListCommandsTest, BrowsingPutsTheChosenFolderIntoTheDestination)
{
    const fs::path chosen = m_scratch.Path();
    bool promptShown = false;
    std::wstring destination;
    DialogDriver unpackDriver(
        [&](HWND unpack) {
            DialogDriver browseDriver(
                [&](HWND browse) {
                    promptShown = FindWindowExW(browse, nullptr, nullptr, L"请选择输出文件夹:") != nullptr;
                    EXPECT_TRUE(ChooseFolder(browse, chosen));
                },
                CloseBy::Ok, unpack);
            ClickButton(unpack, IDC_UNPACK_BROWSE);
            EXPECT_TRUE(browseDriver.DialogWasShown());
            destination = ControlText(unpack, IDC_UNPACK_DESTINATION);
        },
        CloseBy::Escape);

    Command(ID_UNPACK);

    EXPECT_TRUE(promptShown);
    EXPECT_EQ(fs::path(destination), chosen);
}
