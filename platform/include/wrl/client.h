// Microsoft::WRL::ComPtr: the reference-counting smart pointer for COM interfaces.
#pragma once

#include "../unknwn.h"

#include <cstddef>
#include <type_traits>
#include <utility>

namespace Microsoft {
namespace WRL {

template <class T>
class ComPtr;

namespace Details {

// What &comPtr yields: it releases what the pointer held and hands out the
// address of the raw pointer, so the result of a call lands in a clean slot.
template <class TPtr>
class ComPtrRef
{
public:
    typedef typename TPtr::InterfaceType InterfaceType;

    explicit ComPtrRef(TPtr* ptr) : m_ptr(ptr) {}

    operator InterfaceType**() { return m_ptr->ReleaseAndGetAddressOf(); }
    operator void**() const { return reinterpret_cast<void**>(m_ptr->ReleaseAndGetAddressOf()); }
    operator TPtr*() { return m_ptr; }
    InterfaceType* operator*() { return m_ptr->Get(); }
    InterfaceType* const* GetAddressOf() const { return m_ptr->GetAddressOf(); }
    InterfaceType** ReleaseAndGetAddressOf() { return m_ptr->ReleaseAndGetAddressOf(); }

private:
    TPtr* m_ptr;
};

} // namespace Details

template <class T>
class ComPtr
{
public:
    typedef T InterfaceType;

    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    template <class U>
    ComPtr(U* other) noexcept : m_ptr(other)
    {
        addRef();
    }
    ComPtr(const ComPtr& other) noexcept : m_ptr(other.m_ptr) { addRef(); }
    template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    ComPtr(const ComPtr<U>& other) noexcept : m_ptr(other.Get())
    {
        addRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_ptr(other.m_ptr) { other.m_ptr = nullptr; }
    template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    ComPtr(ComPtr<U>&& other) noexcept : m_ptr(other.Detach())
    {
    }
    ~ComPtr() { release(); }

    ComPtr& operator=(std::nullptr_t) noexcept
    {
        release();
        return *this;
    }
    template <class U>
    ComPtr& operator=(U* other) noexcept
    {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(const ComPtr& other) noexcept
    {
        ComPtr(other).Swap(*this);
        return *this;
    }
    template <class U>
    ComPtr& operator=(const ComPtr<U>& other) noexcept
    {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    template <class U>
    ComPtr& operator=(ComPtr<U>&& other) noexcept
    {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }

    void Swap(ComPtr& other) noexcept { std::swap(m_ptr, other.m_ptr); }

    T* Get() const noexcept { return m_ptr; }
    T* operator->() const noexcept { return m_ptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }

    Details::ComPtrRef<ComPtr<T>> operator&() noexcept { return Details::ComPtrRef<ComPtr<T>>(this); }
    const Details::ComPtrRef<const ComPtr<T>> operator&() const noexcept
    {
        return Details::ComPtrRef<const ComPtr<T>>(this);
    }

    T* const* GetAddressOf() const noexcept { return &m_ptr; }
    T** GetAddressOf() noexcept { return &m_ptr; }
    T** ReleaseAndGetAddressOf() noexcept
    {
        release();
        return &m_ptr;
    }

    // Takes over a reference the caller already owns.
    void Attach(T* other) noexcept
    {
        if (m_ptr != other)
            release();
        m_ptr = other;
    }
    // Gives up the reference without releasing it.
    T* Detach() noexcept
    {
        T* ptr = m_ptr;
        m_ptr = nullptr;
        return ptr;
    }
    unsigned long Reset() noexcept { return release(); }

    HRESULT CopyTo(T** ptr) const noexcept
    {
        addRef();
        *ptr = m_ptr;
        return S_OK;
    }
    HRESULT CopyTo(REFIID riid, void** ptr) const noexcept { return m_ptr->QueryInterface(riid, ptr); }
    template <class U>
    HRESULT CopyTo(U** ptr) const noexcept
    {
        return m_ptr->QueryInterface(__uuidof(U), reinterpret_cast<void**>(ptr));
    }

    // QueryInterface into another smart pointer; it is released first.
    template <class U>
    HRESULT As(ComPtr<U>* other) const noexcept
    {
        return m_ptr->QueryInterface(__uuidof(U), reinterpret_cast<void**>(other->ReleaseAndGetAddressOf()));
    }
    template <class U>
    HRESULT As(Details::ComPtrRef<ComPtr<U>> other) const noexcept
    {
        return m_ptr->QueryInterface(__uuidof(U), reinterpret_cast<void**>(other.ReleaseAndGetAddressOf()));
    }
    HRESULT AsIID(REFIID riid, ComPtr<IUnknown>* other) const noexcept
    {
        return m_ptr->QueryInterface(riid, reinterpret_cast<void**>(other->ReleaseAndGetAddressOf()));
    }

private:
    void addRef() const noexcept
    {
        if (m_ptr)
            m_ptr->AddRef();
    }
    unsigned long release() noexcept
    {
        unsigned long count = 0;
        T* ptr = m_ptr;
        if (ptr) {
            m_ptr = nullptr;
            count = ptr->Release();
        }
        return count;
    }

    template <class U>
    friend class ComPtr;

    T* m_ptr = nullptr;
};

template <class T, class U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b) noexcept
{
    return a.Get() == b.Get();
}
template <class T>
bool operator==(const ComPtr<T>& a, std::nullptr_t) noexcept
{
    return a.Get() == nullptr;
}
template <class T>
bool operator!=(const ComPtr<T>& a, std::nullptr_t) noexcept
{
    return a.Get() != nullptr;
}
template <class T, class U>
bool operator!=(const ComPtr<T>& a, const ComPtr<U>& b) noexcept
{
    return a.Get() != b.Get();
}

} // namespace WRL
} // namespace Microsoft

template <class T>
void** IID_PPV_ARGS_Helper(Microsoft::WRL::Details::ComPtrRef<T> pp)
{
    return static_cast<void**>(pp);
}
