#include "StatRecord.h"

#include <cstring>

namespace tarnwick::storage {

HRESULT FillStatRecord(const TreeNode& node, STATSTG& record, DWORD flags)
{
    std::memset(&record, 0, sizeof record);
    record.type = node.kind == NodeKind::Storage ? STGTY_STORAGE : STGTY_STREAM;
    record.cbSize.QuadPart = node.kind == NodeKind::Stream ? node.length : 0;
    record.grfMode = STGM_READ | STGM_SHARE_DENY_WRITE;
    if (flags & STATFLAG_NONAME) return S_OK;

    const std::size_t bytes = (node.name.size() + 1) * sizeof(OLECHAR);
    auto* name = static_cast<OLECHAR*>(CoTaskMemAlloc(bytes));
    if (!name) return E_OUTOFMEMORY;
    std::memcpy(name, node.name.c_str(), bytes);
    record.pwcsName = name;
    return S_OK;
}

} // namespace tarnwick::storage
