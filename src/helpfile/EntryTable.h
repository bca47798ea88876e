// Every stream of a help file, walked once: its storage, folder, name, size and where its bytes
// lie, as typed values. The listing, the unpack, the integrity test, the facts and the project all
// read this table; the window's list is filled by the same walk.
#pragma once

#include "storage/ComRef.h"
#include "storage/ITStorage.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::helpfile {

// A place that no storage gave: such an entry is read last, and its read fails.
inline constexpr StreamPlace kUnknownPlace{UINT64_MAX, UINT64_MAX, 0};

// One stream as the walk meets it. The texts are the component's and live only during the call.
struct WalkedStream {
    IStorage* storage = nullptr;  // the storage that directly holds it
    const std::wstring& folder;   // "a\b\", empty for the root
    const std::wstring& name;
    std::uint64_t size = 0;
    StreamPlace place = kUnknownPlace;
    bool internal = false;        // a "#" or "$" name, or below one
};

enum class WalkScope { Listed, All };

struct WalkResult {
    std::size_t streams = 0;
    bool cut = false; // storages nested deeper than the walk goes were left out
};

// Depth first, in the component's order. `Listed` passes over "#" and "$" names at every depth,
// as the listing does; `All` takes them too, marked internal.
WalkResult WalkStreams(IStorage* root, WalkScope scope, const std::function<void(const WalkedStream&)>& visit);

struct Entry {
    std::uint32_t storage = 0; // into the table's storages
    std::uint32_t folder = 0;  // into the table's folders
    std::uint32_t nameStart = 0;
    std::uint32_t nameLength = 0;
    std::uint64_t size = 0;
    StreamPlace place = kUnknownPlace;
    bool internal = false;
};

// Kept small for files of tens of thousands of streams: names in one UTF-8 arena, each folder once.
class EntryTable {
public:
    std::size_t Size() const { return m_entries.size(); }
    const Entry& operator[](std::size_t i) const { return m_entries[i]; }
    std::string_view Utf8Name(std::size_t i) const;
    std::wstring Name(std::size_t i) const;
    const std::wstring& Folder(std::size_t i) const { return m_folders[m_entries[i].folder]; }
    // "a\b\name": how messages name the entry.
    std::wstring Path(std::size_t i) const { return Folder(i) + Name(i); }
    IStorage* Storage(std::size_t i) const { return m_storages[m_entries[i].storage].Get(); }
    IStorage* Root() const { return m_storages.empty() ? nullptr : m_storages.front().Get(); }

    void Add(const WalkedStream& stream);
    void SetRoot(IStorage* root);

private:
    std::vector<Entry> m_entries;
    std::string m_names;
    std::vector<std::wstring> m_folders;
    std::vector<storage::ComRef<IStorage>> m_storages; // the root first
};

EntryTable ReadEntryTable(IStorage* root, WalkScope scope);

} // namespace tarnwick::helpfile
