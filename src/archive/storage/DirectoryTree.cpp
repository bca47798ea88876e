#include "DirectoryTree.h"

#include "Utf8.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <unordered_map>

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

// Names are compared, looked up and handed out as wide text, so they are made
// unique as wide text: two byte strings that decode alike are one element, and a
// NUL, which would cut the name short for every caller, is replaced. Kept as the
// UTF-8 of that text.
std::string ElementPath(const std::string& name)
{
    std::wstring path = WideFromUtf8(name);
    for (wchar_t& c : path)
        if (c == L'\0') c = L'\uFFFD';
    return Utf8FromWide(path);
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

// An element as its parent knows it; the name is a range of the tree's name arena.
struct ElementKey {
    std::uint32_t parent;
    NodeKind kind;
    std::uint32_t nameStart;
    std::uint32_t nameLength;
};

struct ElementKeyHash {
    const std::string* names;
    std::size_t operator()(const ElementKey& key) const
    {
        const std::size_t place = std::size_t{key.parent} * 2 + static_cast<std::size_t>(key.kind);
        const std::string_view name = std::string_view(*names).substr(key.nameStart, key.nameLength);
        return std::hash<std::string_view>()(name) ^ place * 0x9E3779B97F4A7C15ull;
    }
};

struct ElementKeyEqual {
    const std::string* names;
    bool operator()(const ElementKey& a, const ElementKey& b) const
    {
        const std::string_view all(*names);
        return a.parent == b.parent && a.kind == b.kind &&
               all.substr(a.nameStart, a.nameLength) == all.substr(b.nameStart, b.nameLength);
    }
};

std::uint32_t ToIndex(std::size_t value)
{
    if (value >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("directory past 4 GiB");
    return static_cast<std::uint32_t>(value);
}

} // namespace

struct DirectoryTree::Builder::State {
    DirectoryTree tree;
    std::vector<std::uint32_t> parents{DirectoryTree::kRoot};
    std::unordered_map<ElementKey, std::uint32_t, ElementKeyHash, ElementKeyEqual> known{
        0, ElementKeyHash{&tree.m_names}, ElementKeyEqual{&tree.m_names}};
    std::vector<std::string_view> parts; // kept to spare an allocation per entry

    State() { tree.m_nodes.emplace_back(); }
};

DirectoryTree::Builder::Builder() : m_state(std::make_unique<State>()) {}
DirectoryTree::Builder::~Builder() = default;

namespace {

struct Found {
    std::uint32_t index;
    bool added;
};

} // namespace

void DirectoryTree::Builder::Add(const DirectoryEntry& entry)
{
    if (entry.name.rfind("::", 0) == 0) return;
    State& state = *m_state;
    const std::string path = ElementPath(entry.name);
    SplitPath(path, state.parts);
    if (state.parts.empty()) return;
    const bool isStorage = path.back() == '/';
    const std::size_t folders = isStorage ? state.parts.size() : state.parts.size() - 1;

    std::vector<TreeNode>& nodes = state.tree.m_nodes;
    std::string& names = state.tree.m_names;
    const auto element = [&](std::uint32_t parent, NodeKind kind, std::string_view name) -> Found {
        // The name goes into the arena first, so that the map's key can be a range of it.
        const std::uint32_t start = ToIndex(names.size());
        names.append(name);
        const std::uint32_t length = ToIndex(names.size()) - start;
        const auto [known, added] = state.known.try_emplace({parent, kind, start, length}, ToIndex(nodes.size()));
        if (!added) {
            names.resize(start);
            return {known->second, false};
        }
        TreeNode& node = nodes.emplace_back();
        node.nameStart = start;
        node.nameLength = length;
        node.kind = kind;
        state.parents.push_back(parent);
        return {known->second, true};
    };

    std::uint32_t parent = kRoot;
    for (std::size_t i = 0; i < folders; ++i) parent = element(parent, NodeKind::Storage, state.parts[i]).index;
    if (isStorage) return;
    const Found stream = element(parent, NodeKind::Stream, state.parts.back());
    if (!stream.added) return;
    TreeNode& node = nodes[stream.index];
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

    // Each storage's children side by side, in the order they were met, which is directory order.
    std::vector<TreeNode>& nodes = tree.m_nodes;
    for (std::size_t i = 1; i < nodes.size(); ++i) ++nodes[parents[i]].childCount;
    std::uint32_t next = 0;
    for (TreeNode& node : nodes) {
        node.firstChild = next;
        next += node.childCount;
        node.childCount = 0;
    }
    tree.m_children.resize(next);
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        TreeNode& parent = nodes[parents[i]];
        tree.m_children[parent.firstChild + parent.childCount++] = static_cast<std::uint32_t>(i);
    }
    nodes.shrink_to_fit();
    tree.m_names.shrink_to_fit();
    return tree;
}

std::string_view DirectoryTree::Name(std::uint32_t index) const
{
    return std::string_view(m_names).substr(m_nodes[index].nameStart, m_nodes[index].nameLength);
}

std::span<const std::uint32_t> DirectoryTree::Children(std::uint32_t storage) const
{
    return std::span(m_children).subspan(m_nodes[storage].firstChild, m_nodes[storage].childCount);
}

std::span<const std::uint32_t> DirectoryTree::LookupOrder(std::uint32_t storage) const
{
    if (m_lookupReady.empty()) {
        m_lookup.resize(m_children.size());
        m_lookupReady.assign(m_nodes.size(), false);
    }
    const TreeNode& node = m_nodes[storage];
    const auto lookup = std::span(m_lookup).subspan(node.firstChild, node.childCount);
    if (!m_lookupReady[storage]) {
        const std::span<const std::uint32_t> children = Children(storage);
        std::copy(children.begin(), children.end(), lookup.begin());
        std::stable_sort(lookup.begin(), lookup.end(), [this](std::uint32_t a, std::uint32_t b) {
            return LookupLess({Name(a), m_nodes[a].kind}, {Name(b), m_nodes[b].kind});
        });
        m_lookupReady[storage] = true;
    }
    return lookup;
}

std::optional<std::uint32_t> DirectoryTree::FindChild(std::uint32_t storage, std::wstring_view name,
                                                      NodeKind kind) const
{
    const auto keyOf = [this](std::uint32_t index) { return LookupKey{Name(index), m_nodes[index].kind}; };
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
