// A real report list with the contents list's four columns, in a hidden top-level window of its
// own, for tests that work on the control's rows.
#pragma once

#include "framework/ListViewControl.h"

#include <cstdint>
#include <string>
#include <vector>

struct TestRow {
    std::wstring name, size, type, path;
    std::intptr_t itemData = 0;
    int image = 0;
};

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
    TestRow Row(int index) const;
    std::vector<std::wstring> Column(int column) const;
    std::vector<std::intptr_t> ItemData() const;
    void SetState(int row, UINT state, UINT mask) { ListView_SetItemState(m_list, row, state, mask); }
    UINT State(int row, UINT mask) const { return ListView_GetItemState(m_list, row, mask); }

private:
    HWND m_parent = nullptr;
    HWND m_list = nullptr;
};
