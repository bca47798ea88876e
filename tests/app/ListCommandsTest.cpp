// The contents list's own commands in the running window, driven as the user drives them: header
// clicks, a double-click, the context menu and the unpack dialog with its run.
#include "AppTestSupport.h"

#include "resource.h"
#include "support/DialogDriver.h"
#include "view/ColumnSort.h"

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <ranges>

namespace {

LPARAM CentreOf(const RECT& rect) { return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2); }

// The header tells the list, the list tells the frame, and the frame hands the click to the view.
void ClickHeader(HWND list, int column)
{
    RECT item{};
    Header_GetItemRect(ListView_GetHeader(list), column, &item);
    SendMessageW(ListView_GetHeader(list), WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(item));
    SendMessageW(ListView_GetHeader(list), WM_LBUTTONUP, 0, CentreOf(item));
}

void DoubleClickRow(HWND list, int row)
{
    RECT label{};
    ListView_GetItemRect(list, row, &label, LVIR_LABEL);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, CentreOf(label));
}

// What the list sends its parent on a right-click; the menu then takes the letter as its key.
void ChooseFromContextMenu(HWND list, wchar_t letter)
{
    WhenTheNextLoopRuns([list, letter] { PostMessageW(list, WM_CHAR, letter, 0); });
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    click.hdr.code = NM_RCLICK;
    click.iItem = -1;
    SendMessageW(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

bool ProgressWindowShown()
{
    return FindThreadWindow([](HWND window) { return TitleStartsWith(window, L"正在展开...") && IsWindowVisible(window); });
}

// The folder browser fills its tree as it starts: the folder is chosen again until the tree shows it.
bool ChooseFolder(HWND browse, const fs::path& folder)
{
    const HWND tree = FindWindowExW(browse, nullptr, WC_TREEVIEWW, nullptr);
    for (int attempt = 0; attempt < 100; ++attempt) {
        SendMessageW(browse, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        wchar_t text[MAX_PATH] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(tree);
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        if (item.hItem && TreeView_GetItem(tree, &item) && folder.filename() == text) return true;
        Sleep(20);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return false;
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

    // The first row named gets the focus too.
    void SelectOnly(std::initializer_list<int> rows)
    {
        ListView_SetItemState(ListWindow(), -1, 0, LVIS_SELECTED);
        for (int row : rows) ListView_SetItemState(ListWindow(), row, LVIS_SELECTED | (row == *rows.begin() ? LVIS_FOCUSED : 0), LVIS_SELECTED | LVIS_FOCUSED);
    }

    RecordingLauncher m_launcher;
    std::vector<TestRow> m_rows;
};

} // namespace

TEST_F(ListCommandsTest, HeaderClicksSortTheRowsAndShowTheOrder)
{
    const auto bySize = [](const TestRow& a, const TestRow& b) { return std::stoull(a.size) < std::stoull(b.size); };
    const auto arrow = [this](int column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(ListView_GetHeader(ListWindow()), column, &item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    };
    ClickHeader(ListWindow(), 1);
    EXPECT_TRUE(std::ranges::is_sorted(Rows(), bySize));
    EXPECT_EQ(arrow(1), HDF_SORTUP);
    ClickHeader(ListWindow(), 1);
    EXPECT_TRUE(std::ranges::is_sorted(Rows() | std::views::reverse, bySize));
    EXPECT_EQ(arrow(1), HDF_SORTDOWN);
    ClickHeader(ListWindow(), 0);
    EXPECT_EQ(arrow(0) | arrow(1), HDF_SORTUP);
    const std::vector<TestRow> rows = Rows();
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const TestRow& a, const TestRow& b) {
        return CompareAnsiText(ToAnsiText(a.name), ToAnsiText(b.name)) < 0;
    }));
}

TEST_F(ListCommandsTest, DoubleClickAndTheContextMenuOpenTheRowShownThere)
{
    ClickHeader(ListWindow(), 1);
    ClickHeader(ListWindow(), 1);
    const TestRow second = Rows()[1];
    DoubleClickRow(ListWindow(), 1);
    ASSERT_EQ(m_launcher.launches.size(), 1u);
    EXPECT_EQ(m_launcher.launches[0].first.filename(), second.name);
    EXPECT_EQ(fs::file_size(m_launcher.launches[0].first), fs::file_size(FixturesDir() / L"varied.extracted" / second.path / second.name));

    SelectOnly({3});
    ChooseFromContextMenu(ListWindow(), L'r');
    ASSERT_EQ(m_launcher.launches.size(), 2u);
    EXPECT_EQ(m_launcher.launches[1].first.filename(), Rows()[3].name);

    // The keyboard: Enter on the focused row, and the menu key at it.
    SelectOnly({5});
    PressKeys({VK_RETURN});
    WhenTheNextLoopRuns([this] { PostMessageW(ListWindow(), WM_CHAR, L'r', 0); });
    PressKeys({VK_SHIFT, VK_F10});
    ASSERT_EQ(m_launcher.launches.size(), 4u);
    EXPECT_EQ(m_launcher.launches[2].first.filename(), Rows()[5].name);
    EXPECT_EQ(m_launcher.launches[3].first.filename(), Rows()[5].name);
}

TEST_F(ListCommandsTest, UnpackStartsWithTheChoiceTheSelectionSuggests)
{
    const auto shownChoice = [this](const std::function<void()>& open) {
        bool selected = false;
        DialogDriver driver([&selected](HWND dialog) { selected = IsChecked(dialog, IDC_UNPACK_SELECTED); }, CloseBy::Escape);
        open();
        EXPECT_TRUE(driver.DialogWasShown());
        return selected ? IDC_UNPACK_SELECTED : IDC_UNPACK_ALL;
    };
    SelectOnly({});
    EXPECT_EQ(shownChoice([this] { Command(ID_UNPACK); }), IDC_UNPACK_ALL);
    SelectOnly({2});
    EXPECT_EQ(shownChoice([this] { Command(ID_UNPACK); }), IDC_UNPACK_SELECTED);
    SelectOnly({2, 5});
    EXPECT_EQ(shownChoice([this] { ChooseFromContextMenu(ListWindow(), L'u'); }), IDC_UNPACK_SELECTED);
    EXPECT_TRUE(m_app->messages.empty());
}

TEST_F(ListCommandsTest, TheMainWindowStaysDisabledWhileTheRunWorks)
{
    const fs::path target = m_scratch.Path() / L"out";
    fs::create_directories(target);
    bool probed = false, mainWindowEnabled = true, progressShown = false;
    DialogDriver driver(
        [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_UNPACK_DESTINATION, target.c_str());
            // The next loop to look at the queue is the run's, between its first rows.
            WhenTheNextLoopRuns([&] {
                probed = true;
                mainWindowEnabled = IsWindowEnabled(Frame().GetSafeHwnd()) != FALSE;
                progressShown = ProgressWindowShown();
            });
        },
        CloseBy::Ok);
    Command(ID_UNPACK);
    ASSERT_TRUE(probed);
    EXPECT_FALSE(mainWindowEnabled);
    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(IsWindowEnabled(Frame().GetSafeHwnd()));
    EXPECT_FALSE(ProgressWindowShown());
    EXPECT_EQ(FileCount(target), static_cast<int>(m_rows.size()));
    EXPECT_TRUE(m_app->messages.empty());
}

TEST_F(ListCommandsTest, BrowsingPutsTheChosenFolderIntoTheDestination)
{
    std::wstring destination;
    DialogDriver unpackDriver(
        [&](HWND unpack) {
            DialogDriver browseDriver(
                [&](HWND browse) {
                    EXPECT_NE(FindWindowExW(browse, nullptr, nullptr, L"请选择输出文件夹:"), nullptr);
                    EXPECT_TRUE(ChooseFolder(browse, m_scratch.Path()));
                },
                CloseBy::Ok, unpack);
            ClickButton(unpack, IDC_UNPACK_BROWSE);
            EXPECT_TRUE(browseDriver.DialogWasShown());
            destination = ControlText(unpack, IDC_UNPACK_DESTINATION);
        },
        CloseBy::Escape);
    Command(ID_UNPACK);
    EXPECT_EQ(fs::path(destination), m_scratch.Path());
}
