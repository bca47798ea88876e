#include "helpfile/EntryTable.h"

#include "base/Utf8.h"

#include <stdexcept>

namespace tarnwick::helpfile {

using storage::ComRef;

namespace {

// Real help files nest a few levels; a hostile one could nest thousands deep.
constexpr int kMaxWalkDepth = 256;

bool IsInternalName(std::wstring_view name) { return !name.empty() && (name[0] == L'#' || name[0] == L'$'); }

StreamPlace LastPlace(IElementPlacement* placement)
{
    StreamPlace place = kUnknownPlace;
    if (placement && FAILED(placement->GetLastElementPlacement(&place))) place = kUnknownPlace;
    return place;
}

class Walk {
public:
    Walk(WalkScope scope, const std::function<void(const WalkedStream&)>& visit) : m_scope(scope), m_visit(visit) {}

    void Level(IStorage* storage, const std::wstring& folder, int depth, bool internal)
    {
        ComRef<IEnumSTATSTG> elements;
        if (FAILED(storage->EnumElements(0, nullptr, 0, elements.Put())) || !elements) return;
        ComRef<IElementPlacement> placement;
        if (FAILED(elements->QueryInterface(IID_IElementPlacement, reinterpret_cast<void**>(placement.Put()))))
            placement.Reset();
        STATSTG element{};
        while (elements->Next(1, &element, nullptr) == S_OK) {
            // One buffer for every name of the walk: nothing below uses it once a child's walk begins.
            std::wstring& name = m_name;
            name.assign(element.pwcsName ? element.pwcsName : L"");
            CoTaskMemFree(element.pwcsName);
            element.pwcsName = nullptr;
            const bool below = internal || IsInternalName(name);
            if (below && m_scope == WalkScope::Listed) continue;
            if (element.type == STGTY_STREAM) {
                m_visit({storage, folder, name, element.cbSize.QuadPart, LastPlace(placement.Get()), below});
                ++result.streams;
            } else if (element.type == STGTY_STORAGE && depth >= kMaxWalkDepth) {
                result.cut = true;
            } else if (element.type == STGTY_STORAGE) {
                ComRef<IStorage> child;
                if (SUCCEEDED(storage->OpenStorage(name.c_str(), nullptr, STGM_READ, nullptr, 0, child.Put())) && child)
                    Level(child.Get(), folder + name + L"\\", depth + 1, below);
            }
        }
    }

    WalkResult result;

private:
    const WalkScope m_scope;
    const std::function<void(const WalkedStream&)>& m_visit;
    std::wstring m_name;
};

} // namespace

WalkResult WalkStreams(IStorage* root, WalkScope scope, const std::function<void(const WalkedStream&)>& visit)
{
    Walk walk(scope, visit);
    if (root) walk.Level(root, {}, 0, false);
    return walk.result;
}

std::string_view EntryTable::Utf8Name(std::size_t i) const
{
    return std::string_view(m_names).substr(m_entries[i].nameStart, m_entries[i].nameLength);
}

std::wstring EntryTable::Name(std::size_t i) const { return WideFromUtf8(Utf8Name(i)); }

void EntryTable::SetRoot(IStorage* root)
{
    if (!root) return;
    root->AddRef();
    m_storages.emplace_back(root);
}

void EntryTable::Add(const WalkedStream& stream)
{
    // Streams come storage by storage: the last storage and folder are the ones to compare with.
    if (m_storages.empty() || m_storages.back().Get() != stream.storage) {
        stream.storage->AddRef();
        m_storages.emplace_back(stream.storage);
    }
    if (m_folders.empty() || m_folders.back() != stream.folder) m_folders.emplace_back(stream.folder);
    const std::string name = Utf8FromWide(stream.name);
    if (m_names.size() + name.size() > UINT32_MAX) throw std::length_error("names past 4 GiB");
    Entry entry;
    entry.storage = static_cast<std::uint32_t>(m_storages.size() - 1);
    entry.folder = static_cast<std::uint32_t>(m_folders.size() - 1);
    entry.nameStart = static_cast<std::uint32_t>(m_names.size());
    entry.nameLength = static_cast<std::uint32_t>(name.size());
    entry.size = stream.size;
    entry.place = stream.place;
    entry.internal = stream.internal;
    m_entries.push_back(entry);
    m_names += name;
}

EntryTable ReadEntryTable(IStorage* root, WalkScope scope)
{
    EntryTable table;
    table.SetRoot(root);
    WalkStreams(root, scope, [&](const WalkedStream& stream) { table.Add(stream); });
    return table;
}

} // namespace tarnwick::helpfile
