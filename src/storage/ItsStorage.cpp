#include "storage/ItsStorage.h"

#include "storage/ItsEnumerator.h"
#include "storage/ItsStream.h"
#include "storage/StatRecord.h"

namespace tarnwick::storage {
namespace {

bool AsksToWrite(DWORD mode) { return (mode & (STGM_WRITE | STGM_READWRITE)) != 0; }

bool FitsInSection(const TreeNode& stream, ContentSection& section)
{
    return stream.offset <= section.Size() && stream.length <= section.Size() - stream.offset;
}

} // namespace

ItsStorage::ItsStorage(std::shared_ptr<ChmArchive> archive, std::uint32_t node)
    : m_archive(std::move(archive)), m_node(node)
{
}

bool ItsStorage::Implements(REFIID iid) const { return iid == IID_IStorage; }

HRESULT ItsStorage::QueryInterface(REFIID iid, void** object)
{
    if (object && iid == IID_IStreamPlacement) {
        *object = static_cast<IStreamPlacement*>(this);
    } else if (object && iid == IID_IArchiveFacts) {
        *object = static_cast<IArchiveFacts*>(this);
    } else if (object && iid == IID_IDamageReport) {
        *object = static_cast<IDamageReport*>(this);
    } else {
        return ComObject::QueryInterface(iid, object);
    }
    AddRef();
    return S_OK;
}

HRESULT ItsStorage::GetArchiveFacts(ArchiveFacts* facts)
{
    if (!facts) return STG_E_INVALIDPOINTER;
    return ReportingFailures([&]() -> HRESULT {
        *facts = m_archive->Facts();
        return S_OK;
    });
}

HRESULT ItsStorage::GetLastDamage(DamageReport* report)
{
    if (!report) return STG_E_INVALIDPOINTER;
    *report = m_archive->LastDamage();
    return S_OK;
}

HRESULT ItsStorage::GetSectionState(ULONG* state)
{
    if (!state) return STG_E_INVALIDPOINTER;
    return ReportingFailures([&]() -> HRESULT {
        *state = m_archive->SectionState();
        return S_OK;
    });
}

HRESULT ItsStorage::GetStreamPlacement(const OLECHAR* name, StreamPlace* place)
{
    if (!name || !place) return STG_E_INVALIDPOINTER;
    return ReportingFailures([&]() -> HRESULT {
        const auto child = m_archive->Tree().FindChild(m_node, name, NodeKind::Stream);
        if (!child) return STG_E_FILENOTFOUND;
        const TreeNode& node = m_archive->Tree().Node(*child);
        *place = {node.section, node.offset, node.length};
        return S_OK;
    });
}

HRESULT ItsStorage::AnnounceReads(const StreamPlace* places, ULONG count, ULONG threads)
{
    if (!places && count != 0) return STG_E_INVALIDPOINTER;
    return ReportingFailures([&]() -> HRESULT {
        m_archive->ExpectReads(std::span(places, count), threads);
        return S_OK;
    });
}

HRESULT ItsStorage::OpenStream(const OLECHAR* name, void*, DWORD mode, DWORD, IStream** stream)
{
    if (!stream) return STG_E_INVALIDPOINTER;
    *stream = nullptr;
    if (!name) return STG_E_INVALIDPOINTER;
    if (AsksToWrite(mode)) return STG_E_ACCESSDENIED;
    return ReportingFailures([&]() -> HRESULT {
        m_archive->SetLastDamage({});
        const auto child = m_archive->Tree().FindChild(m_node, name, NodeKind::Stream);
        if (!child) return STG_E_FILENOTFOUND;
        const TreeNode& node = m_archive->Tree().Node(*child);
        ContentSection* section = m_archive->Section(node.section);
        // Checked here so that a directory entry pointing past its section is
        // refused outright rather than read as far as it goes.
        if (!section || !FitsInSection(node, *section)) {
            const StreamDamage damage = section                ? StreamDamage::OutsideSection
                                        : node.section > 1     ? StreamDamage::UnknownSection
                                                               : StreamDamage::SectionUnusable;
            m_archive->SetLastDamage({damage, 0});
            return STG_E_DOCFILECORRUPT;
        }
        *stream = new ItsStream(m_archive, *child);
        return S_OK;
    });
}

HRESULT ItsStorage::OpenStorage(const OLECHAR* name, IStorage*, DWORD mode, SNB, DWORD, IStorage** storage)
{
    if (!storage) return STG_E_INVALIDPOINTER;
    *storage = nullptr;
    if (!name) return STG_E_INVALIDPOINTER;
    if (AsksToWrite(mode)) return STG_E_ACCESSDENIED;
    return ReportingFailures([&]() -> HRESULT {
        const auto child = m_archive->Tree().FindChild(m_node, name, NodeKind::Storage);
        if (!child) return STG_E_FILENOTFOUND;
        *storage = new ItsStorage(m_archive, *child);
        return S_OK;
    });
}

HRESULT ItsStorage::EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** enumerator)
{
    if (!enumerator) return STG_E_INVALIDPOINTER;
    *enumerator = nullptr;
    return ReportingFailures([&]() -> HRESULT {
        *enumerator = new ItsEnumerator(m_archive, m_node);
        return S_OK;
    });
}

HRESULT ItsStorage::Stat(STATSTG* record, DWORD flags)
{
    if (!record) return STG_E_INVALIDPOINTER;
    return FillStatRecord(m_archive->Tree(), m_node, *record, flags);
}

HRESULT ItsStorage::CreateStream(const OLECHAR*, DWORD, DWORD, DWORD, IStream** stream)
{
    if (stream) *stream = nullptr;
    return STG_E_ACCESSDENIED;
}

HRESULT ItsStorage::CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD, IStorage** storage)
{
    if (storage) *storage = nullptr;
    return STG_E_ACCESSDENIED;
}

HRESULT ItsStorage::CopyTo(DWORD, const IID*, SNB, IStorage*) { return E_NOTIMPL; }
HRESULT ItsStorage::MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*, DWORD) { return STG_E_ACCESSDENIED; }
HRESULT ItsStorage::Commit(DWORD) { return S_OK; }
HRESULT ItsStorage::Revert() { return S_OK; }
HRESULT ItsStorage::DestroyElement(const OLECHAR*) { return STG_E_ACCESSDENIED; }
HRESULT ItsStorage::RenameElement(const OLECHAR*, const OLECHAR*) { return STG_E_ACCESSDENIED; }
HRESULT ItsStorage::SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*, const FILETIME*)
{
    return STG_E_ACCESSDENIED;
}
HRESULT ItsStorage::SetClass(REFCLSID) { return STG_E_ACCESSDENIED; }
HRESULT ItsStorage::SetStateBits(DWORD, DWORD) { return STG_E_ACCESSDENIED; }

} // namespace tarnwick::storage
