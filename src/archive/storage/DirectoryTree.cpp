#include "DirectoryTree.h"

#include "Utf8.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

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

std::vector<std::wstring_view> SplitPath(std::wstring_view path)
{
    std::vector<std::wstring_view> parts;
    while (!path.empty()) {
        const std::size_t slash = path.find(L'/');
        const std::wstring_view part = path.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::wstring_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

class TreeBuilder {
public:
    explicit TreeBuilder(std::vector<TreeNode>& nodes) : m_nodes(nodes) { m_nodes.emplace_back(); }

    void Add(const DirectoryEntry& entry)
    {
        const std::wstring path = ElementPath(entry.name);
        const std::vector<std::wstring_view> parts = SplitPath(path);
        if (parts.empty()) return;
        const bool isStorage = path.back() == L'/';
        const std::size_t folders = isStorage ? parts.size() : parts.size() - 1;

        std::uint32_t parent = DirectoryTree::kRoot;
        std::wstring key;
        for (std::size_t i = 0; i < folders; ++i) {
            key.append(parts[i]).push_back(L'/');
            parent = StorageFor(key, parent, parts[i]);
        }
        if (isStorage) return;
        key.append(parts.back());
        if (!m_streams.insert(key).second) return;
        TreeNode stream;
        stream.name = parts.back();
        stream.kind = NodeKind::Stream;
        stream.section = entry.section;
        stream.offset = entry.offset;
        stream.length = entry.length;
        Append(parent, std::move(stream));
    }

private:
    std::uint32_t StorageFor(const std::wstring& key, std::uint32_t parent, std::wstring_view name)
    {
        const auto found = m_storages.find(key);
        if (found != m_storages.end()) return found->second;
        TreeNode storage;
        storage.name = name;
        const std::uint32_t index = Append(parent, std::move(storage));
        m_storages.emplace(key, index);
        return index;
    }

    std::uint32_t Append(std::uint32_t parent, TreeNode node)
    {
        const auto index = static_cast<std::uint32_t>(m_nodes.size());
        m_nodes.push_back(std::move(node));
        m_nodes[parent].children.push_back(index);
        return index;
    }

    std::vector<TreeNode>& m_nodes;
    std::unordered_map<std::wstring, std::uint32_t> m_storages;
    std::unordered_set<std::wstring> m_streams;
};

} // namespace

DirectoryTree::DirectoryTree(const std::vector<DirectoryEntry>& entries)
{
    TreeBuilder builder(m_nodes);
    for (const DirectoryEntry& entry : entries)
        if (!IsContainerInternal(entry.name)) builder.Add(entry);

    for (TreeNode& node : m_nodes) {
        node.lookup = node.children;
        std::stable_sort(node.lookup.begin(), node.lookup.end(), [this](std::uint32_t a, std::uint32_t b) {
            return LookupLess({m_nodes[a].name, m_nodes[a].kind}, {m_nodes[b].name, m_nodes[b].kind});
        });
    }
}

std::optional<std::uint32_t> DirectoryTree::FindChild(std::uint32_t storage, std::wstring_view name,
                                                      NodeKind kind) const
{
    const auto keyOf = [this](std::uint32_t index) { return LookupKey{m_nodes[index].name, m_nodes[index].kind}; };
    const std::vector<std::uint32_t>& lookup = m_nodes[storage].lookup;
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
