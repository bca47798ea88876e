// The help file's directory as the component presents it: storages are the
// folders, streams the files. The container's own "::" entries are not part of it.
// Kept small for files of tens of thousands of entries: the names in one arena,
// in UTF-8, and each storage's children as one range of a shared array.
#pragma once

#include "storage/Directory.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwick::storage {

enum class NodeKind : std::uint8_t { Storage, Stream };

// 32 bytes, its kind kept apart: listing a large file is mostly touching this memory for the first time.
struct TreeNode {
    std::uint32_t nameStart = 0;
    std::uint32_t nameLength = 0;
    // Sections past 32 bits are as unknown as any other but 0 and 1: they keep the largest value.
    std::uint32_t section = 0;
    // Into the children array, in directory order; a node's children end where the next node's begin.
    std::uint32_t firstChild = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

class DirectoryTree {
public:
    static constexpr std::uint32_t kRoot = 0;

    class Builder;

    const TreeNode& Node(std::uint32_t index) const { return m_nodes[index]; }
    NodeKind Kind(std::uint32_t index) const { return m_kinds[index]; }
    std::size_t NodeCount() const { return m_nodes.size(); }
    // Valid UTF-8 without NUL: names are made unique as the wide text callers see.
    std::string_view Name(std::uint32_t index) const
    {
        return std::string_view(m_names).substr(m_nodes[index].nameStart, m_nodes[index].nameLength);
    }
    std::span<const std::uint32_t> Children(std::uint32_t storage) const;

    // Looks a child up the way the directory is ordered, ignoring letter case, but
    // prefers the exact spelling, so folders whose names differ only in case stay apart.
    std::optional<std::uint32_t> FindChild(std::uint32_t storage, std::wstring_view name, NodeKind kind) const;

private:
    std::span<const std::uint32_t> LookupOrder(std::uint32_t storage) const;

    std::vector<TreeNode> m_nodes;
    std::vector<NodeKind> m_kinds;
    std::string m_names;
    std::vector<std::uint32_t> m_children;
    // Each storage's children ordered for look-ups by name, built at its first look-up (a listing
    // looks only in the storages that hold storages). Mutable for that: the tree is used from one
    // thread at a time, like the component as a whole.
    mutable std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> m_lookup;
};

// Builds the tree one directory entry at a time, so that the directory is never held whole.
class DirectoryTree::Builder {
public:
    // `directoryBytes`: the size of the directory's chunks, from which room is reserved.
    explicit Builder(std::uint64_t directoryBytes = 0);
    ~Builder();
    void Add(const DirectoryEntry& entry);
    // The tree; what building needed (the look-up table of elements) goes with the builder.
    DirectoryTree Finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace tarnwick::storage
