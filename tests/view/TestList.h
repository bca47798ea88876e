// A real report list with the contents list's four columns, in a hidden top-level window of its
// own, and helpers for the window tests here and in tests/app.
#pragma once

#include "engine/ChmEngine.h"
#include "framework/ListViewControl.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct TestRow {
    std::wstring name, size, type, path;
    std::intptr_t itemData = 0;
    int image = 0;
};
TestRow ReadRow(const CListViewControl& list, int index);

// The first top-level window of this thread that `match` accepts, or null.
HWND FindThreadWindow(const std::function<bool(HWND)>& match);
bool TitleStartsWith(HWND window, const wchar_t* prefix);
// Runs `action` once the next message loop of this thread looks at its queue: inside a context
// menu, a modal dialog or the unpack run.
void WhenTheNextLoopRuns(std::function<void()> action);

class TestList {
public:
    TestList();
    ~TestList() { DestroyWindow(m_parent); }
    TestList(const TestList&) = delete;
    TestList& operator=(const TestList&) = delete;

    CListViewControl Control() const { return CListViewControl(m_list); }
    void Add(const TestRow& row);
    // Adds rows named by `names`, with item data 0, 1, 2... in that order.
    void AddNamed(const std::vector<std::wstring>& names);
    // Opens `chm` in `engine` and shows its rows instead of the list's; the number of rows.
    int Show(CChmEngine& engine, const std::filesystem::path& chm);
    TestRow Row(int index) const { return ReadRow(Control(), index); }
    std::vector<std::wstring> Column(int column) const;
    std::vector<std::intptr_t> ItemData() const;
    void SetState(int row, UINT state, UINT mask) { ListView_SetItemState(m_list, row, state, mask); }
    UINT State(int row, UINT mask) const { return ListView_GetItemState(m_list, row, mask); }

private:
    HWND m_parent = nullptr;
    HWND m_list = nullptr;
};
