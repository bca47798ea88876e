#include "storage/ItsEnumerator.h"

#include "storage/StatRecord.h"

#include <algorithm>

namespace tarnwick::storage {

ItsEnumerator::ItsEnumerator(std::shared_ptr<ChmArchive> archive, std::uint32_t storage, std::size_t cursor)
    : m_archive(std::move(archive)), m_storage(storage), m_cursor(cursor)
{
}

bool ItsEnumerator::Implements(REFIID iid) const { return iid == IID_IEnumSTATSTG; }

HRESULT ItsEnumerator::QueryInterface(REFIID iid, void** object)
{
    if (!object || iid != IID_IElementPlacement) return ComObject::QueryInterface(iid, object);
    *object = static_cast<IElementPlacement*>(this);
    AddRef();
    return S_OK;
}

HRESULT ItsEnumerator::GetLastElementPlacement(StreamPlace* place)
{
    if (!place) return STG_E_INVALIDPOINTER;
    const std::span<const std::uint32_t> children = Children();
    if (m_cursor == 0 || m_cursor > children.size()) return STG_E_INVALIDFUNCTION;
    const TreeNode& node = m_archive->Tree().Node(children[m_cursor - 1]);
    if (m_archive->Tree().Kind(children[m_cursor - 1]) != NodeKind::Stream) return STG_E_INVALIDFUNCTION;
    *place = {node.section, node.offset, node.length};
    return S_OK;
}

std::span<const std::uint32_t> ItsEnumerator::Children() const { return m_archive->Tree().Children(m_storage); }

HRESULT ItsEnumerator::Next(ULONG count, STATSTG* records, ULONG* fetched)
{
    if (fetched) *fetched = 0;
    if (!records) return STG_E_INVALIDPOINTER;
    const std::span<const std::uint32_t> children = Children();
    ULONG done = 0;
    while (done < count && m_cursor < children.size()) {
        const HRESULT result = FillStatRecord(m_archive->Tree(), children[m_cursor], records[done], 0);
        if (FAILED(result)) {
            // Hand nothing back half-made: the caller would not know which names to free.
            for (ULONG i = 0; i < done; ++i) CoTaskMemFree(records[i].pwcsName);
            m_cursor -= done;
            return result;
        }
        ++done;
        ++m_cursor;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT ItsEnumerator::Skip(ULONG count)
{
    const std::size_t left = Children().size() - std::min(m_cursor, Children().size());
    m_cursor += std::min<std::size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT ItsEnumerator::Reset()
{
    m_cursor = 0;
    return S_OK;
}

HRESULT ItsEnumerator::Clone(IEnumSTATSTG** clone)
{
    if (!clone) return STG_E_INVALIDPOINTER;
    *clone = nullptr;
    return ReportingFailures([&]() -> HRESULT {
        *clone = new ItsEnumerator(m_archive, m_storage, m_cursor);
        return S_OK;
    });
}

} // namespace tarnwick::storage
