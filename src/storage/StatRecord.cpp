#include "storage/StatRecord.h"

#include "base/Utf8.h"

#include <cstring>

namespace tarnwick::storage {

HRESULT FillStatRecord(const DirectoryTree& tree, std::uint32_t index, STATSTG& record, DWORD flags)
{
    const TreeNode& node = tree.Node(index);
    std::memset(&record, 0, sizeof record);
    record.type = tree.Kind(index) == NodeKind::Storage ? STGTY_STORAGE : STGTY_STREAM;
    record.cbSize.QuadPart = tree.Kind(index) == NodeKind::Stream ? node.length : 0;
    record.grfMode = STGM_READ | STGM_SHARE_DENY_WRITE;
    if (flags & STATFLAG_NONAME) return S_OK;

    // Decoded straight into the caller's copy: never more wide characters than bytes.
    const std::string_view utf8 = tree.Name(index);
    auto* name = static_cast<OLECHAR*>(CoTaskMemAlloc((utf8.size() + 1) * sizeof(OLECHAR)));
    if (!name) return E_OUTOFMEMORY;
    name[WideFromUtf8(utf8, name)] = L'\0';
    record.pwcsName = name;
    return S_OK;
}

} // namespace tarnwick::storage
