#include "storage/DirectoryTree.h"

#include "base/Utf8.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace tarnwick::storage {
namespace {

unsigned char FoldCase(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c; }

// Only ASCII letters fold, and they are single bytes in UTF-8, so names equal but for case
// in wide text are exactly those equal but for case here.
int CompareFolded(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t i = 0;
    // Names in one folder share long prefixes, and equal bytes are equal folded: eight at a time.
    while (i + 8 <= common && std::memcmp(a.data() + i, b.data() + i, 8) == 0) i += 8;
    for (; i < common; ++i) {
        const unsigned char x = FoldCase(static_cast<unsigned char>(a[i]));
        const unsigned char y = FoldCase(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

struct LookupKey {
    std::string_view name;
    NodeKind kind;
};

bool LookupLess(const LookupKey& a, const LookupKey& b)
{
    const int folded = CompareFolded(a.name, b.name);
    if (folded != 0) return folded < 0;
    return a.kind < b.kind;
}

bool IsPlainAscii(std::string_view name)
{
    return std::all_of(name.begin(), name.end(), [](char c) { return c > 0 && static_cast<unsigned char>(c) < 0x80; });
}

// Names are compared, looked up and handed out as wide text, so they are made
// unique as wide text: two byte strings that decode alike are one element, and a
// NUL, which would cut the name short for every caller, is replaced. Kept as the
// UTF-8 of that text. Nearly every name is plain ASCII, which that leaves as it is,
// without a copy; `converted` holds the text of one that is not.
std::string_view ElementPath(const std::string& name, std::string& converted)
{
    if (IsPlainAscii(name)) return name;
    std::wstring path = WideFromUtf8(name);
    for (wchar_t& c : path)
        if (c == L'\0') c = L'\uFFFD';
    converted = Utf8FromWide(path);
    return converted;
}

void SplitPath(std::string_view path, std::vector<std::string_view>& parts)
{
    parts.clear();
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
}

std::uint32_t ToIndex(std::size_t value)
{
    if (value >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("directory past 4 GiB");
    return static_cast<std::uint32_t>(value);
}

std::size_t ElementHash(std::uint32_t parent, NodeKind kind, std::string_view name)
{
    const std::size_t place = std::size_t{parent} * 2 + static_cast<std::size_t>(kind);
    return std::hash<std::string_view>()(name) ^ place * 0x9E3779B97F4A7C15ull;
}

// Real directories take some 45 bytes per entry; reserving for one per 24 bytes seldom falls
// short, and what is reserved but never filled is address space, not memory. Reserving spares
// the copies (and their page faults) of growing one entry at a time; bounded, since the
// directory's size comes from the file. The look-up table is sized for the real count, as it is
// filled (and its memory touched) all over from the start.
constexpr std::uint64_t kDirectoryBytesPerEntry = 24;
constexpr std::uint64_t kRealDirectoryBytesPerEntry = 45;
constexpr std::uint64_t kMostEntriesReserved = 1u << 20;
// Probes stay short up to three quarters full, and the table stays small enough to be quick to touch.
bool Crowded(std::size_t elements, std::size_t slots) { return elements * 4 > slots * 3; }

} // namespace

struct DirectoryTree::Builder::State {
    DirectoryTree tree;
    std::vector<std::uint32_t> parents{DirectoryTree::kRoot};
    // Every element but the root, found by parent, kind and name: open addressing over node
    // indices, 0 marking a free slot. A slot per element costs less than a map's node each.
    std::vector<std::uint32_t> slots = std::vector<std::uint32_t>(1024);
    std::vector<std::string_view> parts; // kept to spare an allocation per entry
    std::string converted;
    // The directory is sorted, so most entries are in the folder of the one before: its storage is
    // kept with the path's text up to its last slash, which alone decides it.
    std::string lastFolders;
    std::uint32_t lastFolder = DirectoryTree::kRoot;

    explicit State(std::uint64_t directoryBytes)
    {
        const auto entries = static_cast<std::size_t>(std::min(directoryBytes / kDirectoryBytesPerEntry, kMostEntriesReserved));
        tree.m_nodes.reserve(entries + 1);
        tree.m_kinds.reserve(entries + 1);
        parents.reserve(entries + 1);
        tree.m_names.reserve(entries * kDirectoryBytesPerEntry);
        tree.m_nodes.emplace_back();
        tree.m_kinds.push_back(NodeKind::Storage);
        // Slots for the entries a real directory of this size holds, so that they are seldom
        // grown and hashed again; a power of two.
        const std::size_t likely = static_cast<std::size_t>(std::min(directoryBytes / kRealDirectoryBytesPerEntry, kMostEntriesReserved));
        std::size_t count = slots.size();
        while (Crowded(likely, count)) count *= 2;
        slots.resize(count);
    }

    std::uint32_t& SlotOf(std::uint32_t parent, NodeKind kind, std::string_view name)
    {
        const std::size_t mask = slots.size() - 1;
        for (std::size_t i = ElementHash(parent, kind, name) & mask;; i = (i + 1) & mask) {
            const std::uint32_t node = slots[i];
            if (node == 0 || (parents[node] == parent && tree.m_kinds[node] == kind && tree.Name(node) == name))
                return slots[i];
        }
    }

    void GrowSlots()
    {
        slots.assign(slots.size() * 2, 0);
        for (std::uint32_t node = 1; node < tree.m_nodes.size(); ++node)
            SlotOf(parents[node], tree.m_kinds[node], tree.Name(node)) = node;
    }

    std::uint32_t Element(std::uint32_t parent, NodeKind kind, std::string_view name, bool& added)
    {
        std::uint32_t* slot = &SlotOf(parent, kind, name);
        added = *slot == 0;
        if (!added) return *slot;
        if (Crowded(tree.m_nodes.size() + 1, slots.size())) {
            GrowSlots();
            slot = &SlotOf(parent, kind, name);
        }
        const std::uint32_t index = ToIndex(tree.m_nodes.size());
        TreeNode& node = tree.m_nodes.emplace_back();
        node.nameStart = ToIndex(tree.m_names.size());
        tree.m_names.append(name);
        node.nameLength = ToIndex(tree.m_names.size()) - node.nameStart;
        tree.m_kinds.push_back(kind);
        parents.push_back(parent);
        *slot = index;
        return index;
    }
};

DirectoryTree::Builder::Builder(std::uint64_t directoryBytes) : m_state(std::make_unique<State>(directoryBytes)) {}
DirectoryTree::Builder::~Builder() = default;

void DirectoryTree::Builder::Add(const DirectoryEntry& entry)
{
    if (entry.name.rfind("::", 0) == 0) return;
    State& state = *m_state;
    const std::string_view path = ElementPath(entry.name, state.converted);
    SplitPath(path, state.parts);
    if (state.parts.empty()) return;
    const bool isStorage = path.back() == '/';
    bool added = false;
    if (isStorage) {
        std::uint32_t parent = kRoot;
        for (const std::string_view part : state.parts) parent = state.Element(parent, NodeKind::Storage, part, added);
        return;
    }

    const std::string_view folders = path.substr(0, static_cast<std::size_t>(state.parts.back().data() - path.data()));
    if (folders != state.lastFolders) {
        std::uint32_t parent = kRoot;
        for (std::size_t i = 0; i + 1 < state.parts.size(); ++i)
            parent = state.Element(parent, NodeKind::Storage, state.parts[i], added);
        state.lastFolders = folders;
        state.lastFolder = parent;
    }
    const std::uint32_t stream = state.Element(state.lastFolder, NodeKind::Stream, state.parts.back(), added);
    if (!added) return;
    TreeNode& node = state.tree.m_nodes[stream];
    node.section = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(entry.section, std::numeric_limits<std::uint32_t>::max()));
    node.offset = entry.offset;
    node.length = entry.length;
}

DirectoryTree DirectoryTree::Builder::Finish()
{
    DirectoryTree tree = std::move(m_state->tree);
    const std::vector<std::uint32_t> parents = std::move(m_state->parents);
    m_state.reset();

    // Each storage's children side by side, in the order they were met, which is directory order:
    // a count per storage, then each range's end, then filled from the back, which leaves each
    // `firstChild` at its range's start.
    std::vector<TreeNode>& nodes = tree.m_nodes;
    for (std::size_t i = 1; i < nodes.size(); ++i) ++nodes[parents[i]].firstChild;
    std::uint32_t end = 0;
    for (TreeNode& node : nodes) {
        end += node.firstChild;
        node.firstChild = end;
    }
    tree.m_children.resize(end);
    for (std::size_t i = nodes.size() - 1; i >= 1; --i)
        tree.m_children[--nodes[parents[i]].firstChild] = static_cast<std::uint32_t>(i);
    return tree;
}

std::span<const std::uint32_t> DirectoryTree::Children(std::uint32_t storage) const
{
    const std::uint32_t first = m_nodes[storage].firstChild;
    const std::size_t end = storage + 1 < m_nodes.size() ? m_nodes[storage + 1].firstChild : m_children.size();
    return std::span(m_children).subspan(first, end - first);
}

std::span<const std::uint32_t> DirectoryTree::LookupOrder(std::uint32_t storage) const
{
    const auto [place, added] = m_lookup.try_emplace(storage);
    std::vector<std::uint32_t>& lookup = place->second;
    if (added) {
        const std::span<const std::uint32_t> children = Children(storage);
        lookup.assign(children.begin(), children.end());
        std::stable_sort(lookup.begin(), lookup.end(), [this](std::uint32_t a, std::uint32_t b) {
            return LookupLess({Name(a), m_kinds[a]}, {Name(b), m_kinds[b]});
        });
    }
    return lookup;
}

std::optional<std::uint32_t> DirectoryTree::FindChild(std::uint32_t storage, std::wstring_view name,
                                                      NodeKind kind) const
{
    const auto keyOf = [this](std::uint32_t index) { return LookupKey{Name(index), m_kinds[index]}; };
    const std::string wantedName = Utf8FromWide(name);
    const LookupKey wanted{wantedName, kind};
    const std::span<const std::uint32_t> lookup = LookupOrder(storage);
    auto it = std::lower_bound(lookup.begin(), lookup.end(), wanted,
                               [&](std::uint32_t index, const LookupKey& key) { return LookupLess(keyOf(index), key); });
    std::optional<std::uint32_t> sameButCase;
    for (; it != lookup.end() && !LookupLess(wanted, keyOf(*it)); ++it) {
        if (Name(*it) == wantedName) return *it;
        if (!sameButCase) sameButCase = *it;
    }
    return sameButCase;
}

} // namespace tarnwick::storage
