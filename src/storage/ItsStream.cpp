#include "storage/ItsStream.h"

#include "storage/StatRecord.h"

#include <algorithm>

namespace tarnwick::storage {

ItsStream::ItsStream(std::shared_ptr<ChmArchive> archive, std::uint32_t node, std::uint64_t position)
    : m_archive(std::move(archive)), m_node(node), m_position(position)
{
}

bool ItsStream::Implements(REFIID iid) const { return iid == IID_IStream || iid == IID_ISequentialStream; }

HRESULT ItsStream::QueryInterface(REFIID iid, void** object)
{
    if (!object || iid != IID_IDamageReport) return ComObject::QueryInterface(iid, object);
    *object = static_cast<IDamageReport*>(this);
    AddRef();
    return S_OK;
}

HRESULT ItsStream::GetLastDamage(DamageReport* report)
{
    if (!report) return STG_E_INVALIDPOINTER;
    *report = m_archive->LastDamage();
    return S_OK;
}

HRESULT ItsStream::GetSectionState(ULONG* state)
{
    if (!state) return STG_E_INVALIDPOINTER;
    return ReportingFailures([&]() -> HRESULT {
        *state = m_archive->SectionState();
        return S_OK;
    });
}

HRESULT ItsStream::Read(void* buffer, ULONG size, ULONG* read)
{
    if (read) *read = 0;
    if (!buffer && size != 0) return STG_E_INVALIDPOINTER;
    return ReportingFailures([&]() -> HRESULT {
        const TreeNode& node = m_archive->Tree().Node(m_node);
        const std::uint64_t left = m_position < node.length ? node.length - m_position : 0;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
        if (wanted == 0) return S_OK;

        // The stream was checked to lie within its section when it was opened.
        ContentSection* section = m_archive->Section(node.section);
        const auto got = section->ReadAt(node.offset + m_position, {static_cast<std::uint8_t*>(buffer), wanted});
        if (!got || *got != wanted) {
            m_archive->SetLastDamage(section->LastDamage());
            return STG_E_READFAULT;
        }
        m_position += wanted;
        if (read) *read = static_cast<ULONG>(wanted);
        return S_OK;
    });
}

HRESULT ItsStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition)
{
    std::int64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<std::int64_t>(m_position); break;
    case STREAM_SEEK_END: base = static_cast<std::int64_t>(m_archive->Tree().Node(m_node).length); break;
    default: return STG_E_INVALIDFUNCTION;
    }
    std::int64_t target = 0;
    if (__builtin_add_overflow(base, move.QuadPart, &target) || target < 0) return STG_E_INVALIDFUNCTION;
    m_position = static_cast<std::uint64_t>(target);
    if (newPosition) newPosition->QuadPart = m_position;
    return S_OK;
}

HRESULT ItsStream::Stat(STATSTG* record, DWORD flags)
{
    if (!record) return STG_E_INVALIDPOINTER;
    return FillStatRecord(m_archive->Tree(), m_node, *record, flags);
}

HRESULT ItsStream::Clone(IStream** clone)
{
    if (!clone) return STG_E_INVALIDPOINTER;
    *clone = nullptr;
    return ReportingFailures([&]() -> HRESULT {
        *clone = new ItsStream(m_archive, m_node, m_position);
        return S_OK;
    });
}

HRESULT ItsStream::Write(const void*, ULONG, ULONG* written)
{
    if (written) *written = 0;
    return STG_E_ACCESSDENIED;
}

HRESULT ItsStream::SetSize(ULARGE_INTEGER) { return STG_E_ACCESSDENIED; }
HRESULT ItsStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT ItsStream::Commit(DWORD) { return S_OK; }
HRESULT ItsStream::Revert() { return S_OK; }
HRESULT ItsStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT ItsStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }

} // namespace tarnwick::storage
