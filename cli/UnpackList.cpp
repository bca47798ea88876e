#include "UnpackList.h"

#include "Utf8.h"

#include <cstdint>
#include <stdexcept>

using tarnwick::storage::Utf8FromWide;
using tarnwick::storage::WideFromUtf8;

namespace {

constexpr int kInternalPathColumn = 3;

} // namespace

int CUnpackList::InsertRow(int index, const wchar_t* text, int, std::intptr_t itemData)
{
    // The engine appends; nothing else inserts here.
    if (index != GetRowCount()) throw std::logic_error("rows are appended");
    const std::string name = Utf8FromWide(text);
    if (m_names.size() + name.size() > UINT32_MAX) throw std::length_error("names past 4 GiB");
    if (itemData < 0 || itemData > INT32_MAX) throw std::out_of_range("item data past 32 bits");
    m_rows.push_back({static_cast<std::int32_t>(itemData), static_cast<std::uint32_t>(m_names.size()),
                      static_cast<std::uint32_t>(name.size())});
    m_names += name;
    return index;
}

void CUnpackList::SetCellText(int row, int column, const wchar_t* text)
{
    if (column != kInternalPathColumn) return;
    const auto [known, added] = m_pathIndex.try_emplace(text, static_cast<std::uint32_t>(m_paths.size()));
    if (added) m_paths.push_back(&known->first);
    m_rows[static_cast<std::size_t>(row)].internalPath = known->second;
}

std::wstring CUnpackList::Name(std::size_t row) const
{
    return WideFromUtf8(std::string_view(m_names).substr(m_rows[row].nameStart, m_rows[row].nameLength));
}
