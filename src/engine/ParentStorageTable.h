// For each row of the list, the storage that directly holds the row's stream;
// the row's item data is its index here. Entries are only ever appended.
#pragma once

#include "storage/ComRef.h"
#include "storage/ComTypes.h"

#include <cstdint>
#include <vector>

class CParentStorageTable {
public:
    // Returns the new entry's index.
    int Append(IStorage* storage);
    // Null for an index that this table never gave out.
    IStorage* At(std::intptr_t index) const;
    int GetSize() const { return static_cast<int>(m_entries.size()); }
    int GetCapacity() const { return m_capacity; }
    void RemoveAll();

private:
    // Each entry holds its own reference, so rows left over from a walk whose
    // root has since been released still name a live storage.
    std::vector<tarnwick::storage::ComRef<IStorage>> m_entries;
    int m_capacity = 0;
};
