// The reference count, QueryInterface and IInspectable behind
// Microsoft::WRL::RuntimeClass in the simulation.
#pragma once

#include <combaseapi.h>
#include <inspectable.h>

#include <atomic>
#include <cstddef>
#include <type_traits>

namespace winsim {
namespace wrl {

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

} // namespace wrl
} // namespace winsim
