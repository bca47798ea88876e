// The rows the unpack command needs, kept small for files of tens of thousands of entries: each
// row's name in one UTF-8 arena, its internal path shared with the other rows of its folder, and
// the item data that names its storage. Sizes and types are not kept.
#pragma once

#include "ListControl.h"

#include <set>
#include <string>
#include <vector>

class CUnpackList final : public IListControl {
public:
    int GetRowCount() const override { return static_cast<int>(m_rows.size()); }
    int InsertRow(int index, const wchar_t* text, int image, std::intptr_t itemData) override;
    void SetCellText(int row, int column, const wchar_t* text) override;
    void SetRedraw(bool) override {}
    void RepaintNow() override {}

    std::wstring Name(std::size_t row) const;
    const std::wstring& InternalPath(std::size_t row) const { return *m_rows[row].internalPath; }
    std::intptr_t ItemData(std::size_t row) const { return m_rows[row].itemData; }

private:
    struct Row {
        std::intptr_t itemData = 0;
        std::uint32_t nameStart = 0;
        std::uint32_t nameLength = 0;
        const std::wstring* internalPath = nullptr;
    };

    std::vector<Row> m_rows;
    std::string m_names;
    std::set<std::wstring> m_paths; // its nodes never move, so rows point at them
};
