#include "storage/StatRecord.h"

#include "base/Utf8.h"

#include <cstring>

namespace tarnwick::storage {

HRESULT FillStatRecord(const DirectoryTree& tree, std::uint32_t index, STATSTG& record, DWORD flags)
{
    const TreeNode& node = tree.Node(index);
    std::memset(&record, 0, sizeof record);
    record.type = node.kind == NodeKind::Storage ? STGTY_STORAGE : STGTY_STREAM;
    record.cbSize.QuadPart = node.kind == NodeKind::Stream ? node.length : 0;
    record.grfMode = STGM_READ | STGM_SHARE_DENY_WRITE;
    if (flags & STATFLAG_NONAME) return S_OK;

    const std::wstring wide = WideFromUtf8(tree.Name(index));
    const std::size_t bytes = (wide.size() + 1) * sizeof(OLECHAR);
    auto* name = static_cast<OLECHAR*>(CoTaskMemAlloc(bytes));
    if (!name) return E_OUTOFMEMORY;
    std::memcpy(name, wide.c_str(), bytes);
    record.pwcsName = name;
    return S_OK;
}

} // namespace tarnwick::storage
