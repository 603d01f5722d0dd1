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

    explicit ComPtrRef(TPtr* ptr) : ptr_(ptr) {}

    operator InterfaceType**() { return ptr_->ReleaseAndGetAddressOf(); }
    operator void**() const { return reinterpret_cast<void**>(ptr_->ReleaseAndGetAddressOf()); }
    operator TPtr*() { return ptr_; }
    InterfaceType* operator*() { return ptr_->Get(); }
    InterfaceType* const* GetAddressOf() const { return ptr_->GetAddressOf(); }
    InterfaceType** ReleaseAndGetAddressOf() { return ptr_->ReleaseAndGetAddressOf(); }

private:
    TPtr* ptr_;
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
    ComPtr(U* other) noexcept : ptr_(other)
    {
        InternalAddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) { InternalAddRef(); }
    template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    ComPtr(const ComPtr<U>& other) noexcept : ptr_(other.Get())
    {
        InternalAddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(other.ptr_) { other.ptr_ = nullptr; }
    template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    ComPtr(ComPtr<U>&& other) noexcept : ptr_(other.Detach())
    {
    }
    ~ComPtr() { InternalRelease(); }

    ComPtr& operator=(std::nullptr_t) noexcept
    {
        InternalRelease();
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

    void Swap(ComPtr& other) noexcept { std::swap(ptr_, other.ptr_); }

    T* Get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    Details::ComPtrRef<ComPtr<T>> operator&() noexcept { return Details::ComPtrRef<ComPtr<T>>(this); }
    const Details::ComPtrRef<const ComPtr<T>> operator&() const noexcept
    {
        return Details::ComPtrRef<const ComPtr<T>>(this);
    }

    T* const* GetAddressOf() const noexcept { return &ptr_; }
    T** GetAddressOf() noexcept { return &ptr_; }
    T** ReleaseAndGetAddressOf() noexcept
    {
        InternalRelease();
        return &ptr_;
    }

    // Takes over a reference the caller already owns.
    void Attach(T* other) noexcept
    {
        if (ptr_ != other)
            InternalRelease();
        ptr_ = other;
    }
    // Gives up the reference without releasing it.
    T* Detach() noexcept
    {
        T* ptr = ptr_;
        ptr_ = nullptr;
        return ptr;
    }
    unsigned long Reset() noexcept { return InternalRelease(); }

    HRESULT CopyTo(T** ptr) const noexcept
    {
        InternalAddRef();
        *ptr = ptr_;
        return S_OK;
    }
    HRESULT CopyTo(REFIID riid, void** ptr) const noexcept { return ptr_->QueryInterface(riid, ptr); }
    template <class U>
    HRESULT CopyTo(U** ptr) const noexcept
    {
        return ptr_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(ptr));
    }

    // QueryInterface into another smart pointer; it is released first.
    template <class U>
    HRESULT As(ComPtr<U>* other) const noexcept
    {
        return ptr_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(other->ReleaseAndGetAddressOf()));
    }
    template <class U>
    HRESULT As(Details::ComPtrRef<ComPtr<U>> other) const noexcept
    {
        return ptr_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(other.ReleaseAndGetAddressOf()));
    }
    HRESULT AsIID(REFIID riid, ComPtr<IUnknown>* other) const noexcept
    {
        return ptr_->QueryInterface(riid, reinterpret_cast<void**>(other->ReleaseAndGetAddressOf()));
    }

protected:
    void InternalAddRef() const noexcept
    {
        if (ptr_)
            ptr_->AddRef();
    }
    unsigned long InternalRelease() noexcept
    {
        unsigned long count = 0;
        T* ptr = ptr_;
        if (ptr) {
            ptr_ = nullptr;
            count = ptr->Release();
        }
        return count;
    }

    template <class U>
    friend class ComPtr;

    T* ptr_ = nullptr;
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
