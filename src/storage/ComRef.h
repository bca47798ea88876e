// Owns one reference to a COM-style object.
#pragma once

#include <utility>

namespace tarnwick::storage {

template <class T>
class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller already holds.
    explicit ComRef(T* adopted) : m_object(adopted) {}
    ComRef(const ComRef& other) : m_object(other.m_object)
    {
        if (m_object) m_object->AddRef();
    }
    ComRef(ComRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~ComRef() { Reset(); }

    void Reset()
    {
        if (m_object) std::exchange(m_object, nullptr)->Release();
    }
    // For out-parameters: drops the current reference and exposes the slot.
    T** Put()
    {
        Reset();
        return &m_object;
    }
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};

} // namespace tarnwick::storage
