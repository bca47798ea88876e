// Reference counting and interface queries shared by the component's objects.
#pragma once

#include "storage/ComTypes.h"

#include <atomic>
#include <new>

namespace tarnwick::storage {

template <class Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || Implements(iid)) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    virtual bool Implements(REFIID iid) const = 0;

private:
    std::atomic<ULONG> m_references{1};
};

// COM methods must not throw: an allocation that fails on a hostile file's
// sizes becomes an error result instead.
template <class Body>
HRESULT ReportingFailures(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace tarnwick::storage
