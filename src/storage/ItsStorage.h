// A storage (folder) of an opened help file. Read-only: every change is refused.
#pragma once

#include "storage/ChmArchive.h"
#include "storage/ComObject.h"
#include "storage/ITStorage.h"

namespace tarnwick::storage {

class ItsStorage final : public ComObject<IStorage>, public IStreamPlacement, public IArchiveFacts,
                         public IDamageReport {
public:
    ItsStorage(std::shared_ptr<ChmArchive> archive, std::uint32_t node);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }

    HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR* name, DWORD mode, DWORD reserved1, DWORD reserved2,
                                           IStream** stream) override;
    HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR* name, void* reserved1, DWORD mode, DWORD reserved2,
                                         IStream** stream) override;
    HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR* name, DWORD mode, DWORD reserved1, DWORD reserved2,
                                            IStorage** storage) override;
    HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR* name, IStorage* priority, DWORD mode, SNB exclude,
                                          DWORD reserved, IStorage** storage) override;
    HRESULT STDMETHODCALLTYPE CopyTo(DWORD excludeCount, const IID* excludeIids, SNB exclude,
                                     IStorage* target) override;
    HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR* name, IStorage* target, const OLECHAR* newName,
                                            DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3,
                                           IEnumSTATSTG** enumerator) override;
    HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR* name) override;
    HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR* oldName, const OLECHAR* newName) override;
    HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR* name, const FILETIME* created, const FILETIME* accessed,
                                              const FILETIME* modified) override;
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) override;
    HRESULT STDMETHODCALLTYPE SetStateBits(DWORD bits, DWORD mask) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* record, DWORD flags) override;

    HRESULT STDMETHODCALLTYPE GetStreamPlacement(const OLECHAR* name, StreamPlace* place) override;
    HRESULT STDMETHODCALLTYPE AnnounceReads(const StreamPlace* places, ULONG count, ULONG threads) override;

    HRESULT STDMETHODCALLTYPE GetArchiveFacts(ArchiveFacts* facts) override;

    HRESULT STDMETHODCALLTYPE GetLastDamage(DamageReport* report) override;
    HRESULT STDMETHODCALLTYPE GetSectionState(ULONG* state) override;

private:
    bool Implements(REFIID iid) const override;

    std::shared_ptr<ChmArchive> m_archive;
    std::uint32_t m_node;
};

} // namespace tarnwick::storage
