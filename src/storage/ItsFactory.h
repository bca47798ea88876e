// The component's factory: opens help files as root storages.
#pragma once

#include "storage/ComObject.h"
#include "storage/ITStorage.h"

namespace tarnwick::storage {

class ItsFactory final : public ComObject<IITStorage> {
public:
    ItsFactory() = default;

    HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR* name, DWORD mode, DWORD reserved,
                                               IStorage** root) override;
    HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes* bytes, DWORD mode, DWORD reserved,
                                                           IStorage** root) override;
    HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR* name) override;
    HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes* bytes) override;
    HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR* name, IStorage* priority, DWORD mode, SNB exclude,
                                             DWORD reserved, IStorage** root) override;
    HRESULT STDMETHODCALLTYPE StgOpenStorageOnILockBytes(ILockBytes* bytes, IStorage* priority, DWORD mode,
                                                         SNB exclude, DWORD reserved, IStorage** root) override;
    HRESULT STDMETHODCALLTYPE StgSetTimes(const WCHAR* name, const FILETIME* created, const FILETIME* accessed,
                                          const FILETIME* modified) override;
    HRESULT STDMETHODCALLTYPE SetControlData(PITS_Control_Data controlData) override;
    HRESULT STDMETHODCALLTYPE DefaultControlData(PITS_Control_Data* controlData) override;
    HRESULT STDMETHODCALLTYPE Compact(const WCHAR* name, ECompactionLev level) override;

private:
    bool Implements(REFIID iid) const override;
};

} // namespace tarnwick::storage
