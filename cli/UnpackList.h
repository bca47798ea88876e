// The rows the unpack command needs, kept small for files of tens of thousands of entries: each
// row's name in one UTF-8 arena, its internal path shared with the other rows of its folder, and
// the item data that names its storage. Sizes and types are not kept.
#pragma once

#include "ListControl.h"

#include <map>
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
    const std::wstring& InternalPath(std::size_t row) const { return *m_paths[m_rows[row].internalPath]; }
    std::intptr_t ItemData(std::size_t row) const { return m_rows[row].itemData; }

private:
    struct Row {
        std::int32_t itemData = 0; // the engine numbers rows' storages from 0
        std::uint32_t nameStart = 0;
        std::uint32_t nameLength = 0;
        std::uint32_t internalPath = 0; // into m_paths
    };

    std::vector<Row> m_rows;
    std::string m_names;
    // Every row of a folder has the same path: each is kept once, as a key of the map, whose
    // nodes never move; rows hold its place in m_paths, the root's first.
    std::map<std::wstring, std::uint32_t> m_pathIndex{{std::wstring(), 0}};
    std::vector<const std::wstring*> m_paths{&m_pathIndex.begin()->first};
};
