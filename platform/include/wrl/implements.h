// Microsoft::WRL::RuntimeClass and Make: COM objects with a real reference count.
#pragma once

#include "../combaseapi.h"
#include "../winrtbase.h"
#include "client.h"

#include <atomic>
#include <new>
#include <type_traits>
#include <utility>

namespace Microsoft {
namespace WRL {

enum RuntimeClassType {
    WinRt = 0x0001,
    ClassicCom = 0x0002,
    WinRtClassicComMix = WinRt | ClassicCom,
    InhibitWeakReference = 0x0004,
    Delegate = ClassicCom,
    InhibitFtmBase = 0x0008,
    InhibitRoOriginateError = 0x0010,
};

template <unsigned int flags>
struct RuntimeClassFlags
{
    static const unsigned int value = flags;
};

namespace Details {

template <class... I>
struct FirstOf;
template <class First, class... Rest>
struct FirstOf<First, Rest...>
{
    typedef First type;
};

template <class... Interfaces>
class RuntimeClassImpl : public Interfaces...
{
    static_assert(sizeof...(Interfaces) > 0, "a runtime class implements at least one interface");
    typedef typename FirstOf<Interfaces...>::type Primary;

public:
    RuntimeClassImpl() = default;
    RuntimeClassImpl(const RuntimeClassImpl&) = delete;
    RuntimeClassImpl& operator=(const RuntimeClassImpl&) = delete;
    virtual ~RuntimeClassImpl() = default;

    // No "override" here: the IInspectable methods below override only for some
    // interface lists, and the two kinds must not be marked differently.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object)
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (riid == __uuidof(IUnknown)) {
            *object = static_cast<IUnknown*>(static_cast<Primary*>(this));
        } else if (!(findOne<Interfaces>(riid, object) || ...)) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() { return ++m_refCount; }
    ULONG STDMETHODCALLTYPE Release()
    {
        const ULONG count = --m_refCount;
        if (count == 0)
            delete this;
        return count;
    }

    // IInspectable, for classes that implement a Windows Runtime interface.
    HRESULT STDMETHODCALLTYPE GetIids(ULONG* iidCount, IID** iids)
    {
        if (!iidCount || !iids)
            return E_POINTER;
        *iidCount = 0;
        *iids = nullptr;
        const IID all[] = {__uuidof(Interfaces)...};
        IID* copy = static_cast<IID*>(CoTaskMemAlloc(sizeof(all)));
        if (!copy)
            return E_OUTOFMEMORY;
        for (size_t i = 0; i < sizeof...(Interfaces); ++i)
            copy[i] = all[i];
        *iidCount = static_cast<ULONG>(sizeof...(Interfaces));
        *iids = copy;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* className)
    {
        if (!className)
            return E_POINTER;
        *className = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* trustLevel)
    {
        if (!trustLevel)
            return E_POINTER;
        *trustLevel = BaseTrust;
        return S_OK;
    }

protected:
    ULONG refCount() const { return m_refCount.load(); }

private:
    template <class I>
    bool findOne(REFIID riid, void** object)
    {
        if (riid == __uuidof(I)) {
            *object = static_cast<I*>(this);
            return true;
        }
        if constexpr (std::is_base_of<IInspectable, I>::value) {
            if (riid == __uuidof(IInspectable)) {
                *object = static_cast<IInspectable*>(static_cast<I*>(this));
                return true;
            }
        }
        return false;
    }

    std::atomic<ULONG> m_refCount{1};
};

} // namespace Details

template <class... Interfaces>
class RuntimeClass : public Details::RuntimeClassImpl<Interfaces...>
{
};
// The class flags only matter to the real library's activation and weak references.
template <unsigned int flags, class... Interfaces>
class RuntimeClass<RuntimeClassFlags<flags>, Interfaces...> : public Details::RuntimeClassImpl<Interfaces...>
{
};

// Creates an object with one reference, owned by the returned pointer.
template <class T, class... Args>
ComPtr<T> Make(Args&&... args)
{
    ComPtr<T> object;
    object.Attach(new (std::nothrow) T(std::forward<Args>(args)...));
    return object;
}

template <class T, class I, class... Args>
HRESULT MakeAndInitialize(I** result, Args&&... args)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    ComPtr<T> object = Make<T>();
    if (!object)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->RuntimeClassInitialize(std::forward<Args>(args)...);
    if (FAILED(hr))
        return hr;
    return object.CopyTo(result);
}

} // namespace WRL
} // namespace Microsoft
