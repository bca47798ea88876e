#include "storage/ItsFactory.h"

#include "storage/ChmArchive.h"
#include "storage/ItsStorage.h"

namespace tarnwick::storage {

bool ItsFactory::Implements(REFIID iid) const { return iid == IID_IITStorage; }

HRESULT ItsFactory::StgOpenStorage(const WCHAR* name, IStorage*, DWORD mode, SNB, DWORD, IStorage** root)
{
    if (!root) return STG_E_INVALIDPOINTER;
    *root = nullptr;
    if (!name) return STG_E_INVALIDPOINTER;
    if (mode & (STGM_WRITE | STGM_READWRITE)) return STG_E_ACCESSDENIED;
    return ReportingFailures([&]() -> HRESULT {
        auto file = OpenFileSource(name);
        if (!file) return STG_E_FILENOTFOUND;
        auto archive = ChmArchive::Open(std::move(file));
        if (!archive) return STG_E_INVALIDHEADER;
        *root = new ItsStorage(std::move(archive), DirectoryTree::kRoot);
        return S_OK;
    });
}

HRESULT ItsFactory::StgIsStorageFile(const WCHAR* name)
{
    if (!name) return STG_E_INVALIDPOINTER;
    return ReportingFailures([&]() -> HRESULT {
        auto file = OpenFileSource(name);
        if (!file) return STG_E_FILENOTFOUND;
        return ChmArchive::Open(std::move(file)) ? S_OK : S_FALSE;
    });
}

HRESULT ItsFactory::StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage** root)
{
    if (root) *root = nullptr;
    return STG_E_ACCESSDENIED;
}

HRESULT ItsFactory::StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage** root)
{
    if (root) *root = nullptr;
    return STG_E_ACCESSDENIED;
}

HRESULT ItsFactory::StgIsStorageILockBytes(ILockBytes*) { return E_NOTIMPL; }

HRESULT ItsFactory::StgOpenStorageOnILockBytes(ILockBytes*, IStorage*, DWORD, SNB, DWORD, IStorage** root)
{
    if (root) *root = nullptr;
    return E_NOTIMPL;
}

HRESULT ItsFactory::StgSetTimes(const WCHAR*, const FILETIME*, const FILETIME*, const FILETIME*)
{
    return STG_E_ACCESSDENIED;
}

HRESULT ItsFactory::SetControlData(PITS_Control_Data) { return E_NOTIMPL; }

HRESULT ItsFactory::DefaultControlData(PITS_Control_Data* controlData)
{
    if (controlData) *controlData = nullptr;
    return E_NOTIMPL;
}

HRESULT ItsFactory::Compact(const WCHAR*, ECompactionLev) { return STG_E_ACCESSDENIED; }

} // namespace tarnwick::storage

HRESULT CreateITStorage(IITStorage** factory)
{
    if (!factory) return E_POINTER;
    *factory = nullptr;
    return tarnwick::storage::ReportingFailures([&]() -> HRESULT {
        *factory = new tarnwick::storage::ItsFactory();
        return S_OK;
    });
}
