// A stream (file) of an opened help file, read from its content section on demand.
#pragma once

#include "storage/ChmArchive.h"
#include "storage/ComObject.h"

namespace tarnwick::storage {

class ItsStream final : public ComObject<IStream>, public IDamageReport {
public:
    ItsStream(std::shared_ptr<ChmArchive> archive, std::uint32_t node, std::uint64_t position = 0);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER newSize) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD lockType) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD lockType) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* record, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

    HRESULT STDMETHODCALLTYPE GetLastDamage(DamageReport* report) override;
    HRESULT STDMETHODCALLTYPE GetSectionState(ULONG* state) override;

private:
    bool Implements(REFIID iid) const override;

    std::shared_ptr<ChmArchive> m_archive;
    std::uint32_t m_node;
    std::uint64_t m_position;
};

} // namespace tarnwick::storage
