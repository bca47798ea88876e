// The help file's directory as the component presents it: storages are the
// folders, streams the files. The container's own "::" entries are not part of it.
#pragma once

#include "Directory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::storage {

enum class NodeKind : std::uint8_t { Storage, Stream };

struct TreeNode {
    std::wstring name;
    NodeKind kind = NodeKind::Storage;
    std::uint64_t section = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::vector<std::uint32_t> children; // directory order, which is the enumeration order
    std::vector<std::uint32_t> lookup;   // children ordered for look-ups by name, once needed
};

class DirectoryTree {
public:
    static constexpr std::uint32_t kRoot = 0;

    explicit DirectoryTree(const std::vector<DirectoryEntry>& entries);

    const TreeNode& Node(std::uint32_t index) const { return m_nodes[index]; }
    std::size_t NodeCount() const { return m_nodes.size(); }

    // Looks a child up the way the directory is ordered, ignoring letter case, but
    // prefers the exact spelling, so folders whose names differ only in case stay apart.
    std::optional<std::uint32_t> FindChild(std::uint32_t storage, std::wstring_view name, NodeKind kind) const;

private:
    const std::vector<std::uint32_t>& LookupOrder(std::uint32_t storage) const;

    // Mutable for the look-up orders, which are built on first use; the tree is
    // used from one thread at a time, like the component as a whole.
    mutable std::vector<TreeNode> m_nodes;
};

} // namespace tarnwick::storage
