#include "DirectoryTree.h"

#include "Utf8.h"

#include <algorithm>
#include <unordered_map>

namespace tarnwick::storage {
namespace {

wchar_t FoldCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

int CompareFolded(std::wstring_view a, std::wstring_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t x = FoldCase(a[i]);
        const wchar_t y = FoldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

struct LookupKey {
    std::wstring_view name;
    NodeKind kind;
};

bool LookupLess(const LookupKey& a, const LookupKey& b)
{
    const int folded = CompareFolded(a.name, b.name);
    if (folded != 0) return folded < 0;
    return a.kind < b.kind;
}

bool IsContainerInternal(const std::string& name) { return name.rfind("::", 0) == 0; }

// Names are compared, looked up and handed out as wide text, so they are made
// unique as wide text: two byte strings that decode alike are one element, and a
// NUL, which would cut the name short for every caller, is replaced.
std::wstring ElementPath(const std::string& name)
{
    std::wstring path = WideFromUtf8(name);
    for (wchar_t& c : path)
        if (c == L'\0') c = L'\uFFFD';
    return path;
}

void SplitPath(std::wstring_view path, std::vector<std::wstring_view>& parts)
{
    parts.clear();
    while (!path.empty()) {
        const std::size_t slash = path.find(L'/');
        const std::wstring_view part = path.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::wstring_view::npos) break;
        path.remove_prefix(slash + 1);
    }
}

// An element as its parent knows it; the name views the node's own text.
struct ElementKey {
    std::uint32_t parent;
    NodeKind kind;
    std::wstring_view name;
    bool operator==(const ElementKey&) const = default;
};

struct ElementKeyHash {
    std::size_t operator()(const ElementKey& key) const
    {
        const std::size_t place = std::size_t{key.parent} * 2 + static_cast<std::size_t>(key.kind);
        return std::hash<std::wstring_view>()(key.name) ^ place * 0x9E3779B97F4A7C15ull;
    }
};

// Each name in the directory is one element or more (its folders); an upper
// bound on the node count lets the nodes be reserved once, so that the keys'
// views into their names stay valid while the tree grows.
std::size_t MostNodes(const std::vector<DirectoryEntry>& entries)
{
    std::size_t count = 1;
    for (const DirectoryEntry& entry : entries)
        count += 1 + static_cast<std::size_t>(std::count(entry.name.begin(), entry.name.end(), '/'));
    return count;
}

class TreeBuilder {
public:
    TreeBuilder(std::vector<TreeNode>& nodes, std::size_t mostNodes) : m_nodes(nodes)
    {
        m_nodes.reserve(mostNodes);
        m_nodes.emplace_back();
        m_known.reserve(mostNodes);
    }

    void Add(const DirectoryEntry& entry)
    {
        const std::wstring path = ElementPath(entry.name);
        std::vector<std::wstring_view>& parts = m_parts;
        SplitPath(path, parts);
        if (parts.empty()) return;
        const bool isStorage = path.back() == L'/';
        const std::size_t folders = isStorage ? parts.size() : parts.size() - 1;

        std::uint32_t parent = DirectoryTree::kRoot;
        for (std::size_t i = 0; i < folders; ++i) parent = Element(parent, NodeKind::Storage, parts[i]).index;
        if (isStorage) return;
        const Found stream = Element(parent, NodeKind::Stream, parts.back());
        if (!stream.added) return;
        TreeNode& node = m_nodes[stream.index];
        node.section = entry.section;
        node.offset = entry.offset;
        node.length = entry.length;
    }

private:
    struct Found {
        std::uint32_t index;
        bool added;
    };

    Found Element(std::uint32_t parent, NodeKind kind, std::wstring_view name)
    {
        const auto known = m_known.find({parent, kind, name});
        if (known != m_known.end()) return {known->second, false};
        const auto index = static_cast<std::uint32_t>(m_nodes.size());
        TreeNode& node = m_nodes.emplace_back();
        node.name = name;
        node.kind = kind;
        m_nodes[parent].children.push_back(index);
        m_known.emplace(ElementKey{parent, kind, node.name}, index);
        return {index, true};
    }

    std::vector<TreeNode>& m_nodes;
    std::unordered_map<ElementKey, std::uint32_t, ElementKeyHash> m_known;
    std::vector<std::wstring_view> m_parts; // kept to spare an allocation per entry
};

} // namespace

DirectoryTree::DirectoryTree(const std::vector<DirectoryEntry>& entries)
{
    TreeBuilder builder(m_nodes, MostNodes(entries));
    for (const DirectoryEntry& entry : entries)
        if (!IsContainerInternal(entry.name)) builder.Add(entry);
}

const std::vector<std::uint32_t>& DirectoryTree::LookupOrder(std::uint32_t storage) const
{
    // Built at the first look-up in a storage: listing a file never needs it.
    TreeNode& node = m_nodes[storage];
    if (node.lookup.size() != node.children.size()) {
        node.lookup = node.children;
        std::stable_sort(node.lookup.begin(), node.lookup.end(), [this](std::uint32_t a, std::uint32_t b) {
            return LookupLess({m_nodes[a].name, m_nodes[a].kind}, {m_nodes[b].name, m_nodes[b].kind});
        });
    }
    return node.lookup;
}

std::optional<std::uint32_t> DirectoryTree::FindChild(std::uint32_t storage, std::wstring_view name,
                                                      NodeKind kind) const
{
    const auto keyOf = [this](std::uint32_t index) { return LookupKey{m_nodes[index].name, m_nodes[index].kind}; };
    const std::vector<std::uint32_t>& lookup = LookupOrder(storage);
    const LookupKey wanted{name, kind};
    auto it = std::lower_bound(lookup.begin(), lookup.end(), wanted,
                               [&](std::uint32_t index, const LookupKey& key) { return LookupLess(keyOf(index), key); });
    std::optional<std::uint32_t> sameButCase;
    for (; it != lookup.end() && !LookupLess(wanted, keyOf(*it)); ++it) {
        if (m_nodes[*it].name == name) return *it;
        if (!sameButCase) sameButCase = *it;
    }
    return sameButCase;
}

} // namespace tarnwick::storage
