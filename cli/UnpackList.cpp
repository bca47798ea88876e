#include "UnpackList.h"

#include "Utf8.h"

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
    m_rows.push_back({itemData, static_cast<std::uint32_t>(m_names.size()), static_cast<std::uint32_t>(name.size())});
    m_names += name;
    m_rows.back().internalPath = &*m_paths.emplace().first;
    return index;
}

void CUnpackList::SetCellText(int row, int column, const wchar_t* text)
{
    if (column != kInternalPathColumn) return;
    m_rows[static_cast<std::size_t>(row)].internalPath = &*m_paths.emplace(text).first;
}

std::wstring CUnpackList::Name(std::size_t row) const
{
    return WideFromUtf8(std::string_view(m_names).substr(m_rows[row].nameStart, m_rows[row].nameLength));
}
