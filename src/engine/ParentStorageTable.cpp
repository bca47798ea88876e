#include "engine/ParentStorageTable.h"

#include <algorithm>

namespace {

// Grows by an eighth of the size, at least 4 and at most 1024 entries at a time,
// so that appends are amortised without doubling a large table.
int GrownCapacity(int size, int capacity)
{
    const int step = std::clamp(size / 8, 4, 1024);
    return std::max(size + 1, capacity + step);
}

} // namespace

int CParentStorageTable::Append(IStorage* storage)
{
    const int size = GetSize();
    if (size == m_capacity) {
        m_capacity = GrownCapacity(size, m_capacity);
        m_entries.reserve(static_cast<std::size_t>(m_capacity));
    }
    if (storage) storage->AddRef();
    m_entries.emplace_back(storage);
    return size;
}

IStorage* CParentStorageTable::At(std::intptr_t index) const
{
    if (index < 0 || index >= static_cast<std::intptr_t>(m_entries.size())) return nullptr;
    return m_entries[static_cast<std::size_t>(index)].Get();
}

void CParentStorageTable::RemoveAll()
{
    std::vector<tarnwick::storage::ComRef<IStorage>>().swap(m_entries);
    m_capacity = 0;
}
