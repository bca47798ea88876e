// Enumerates the direct children of one storage, in directory order.
#pragma once

#include "storage/ChmArchive.h"
#include "storage/ComObject.h"

namespace tarnwick::storage {

class ItsEnumerator final : public ComObject<IEnumSTATSTG>, public IElementPlacement {
public:
    ItsEnumerator(std::shared_ptr<ChmArchive> archive, std::uint32_t storage, std::size_t cursor = 0);

    // `fetched` may be null whatever `count` is: callers ask one at a time without it.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, STATSTG* records, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumSTATSTG** clone) override;

    HRESULT STDMETHODCALLTYPE GetLastElementPlacement(StreamPlace* place) override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }

private:
    bool Implements(REFIID iid) const override;
    std::span<const std::uint32_t> Children() const;

    std::shared_ptr<ChmArchive> m_archive;
    std::uint32_t m_storage;
    std::size_t m_cursor;
};

} // namespace tarnwick::storage
