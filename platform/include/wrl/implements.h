// Microsoft::WRL::RuntimeClass and Make: COM objects with a real reference count.
#pragma once

// Found on the include path, not beside this file: the Windows build of the
// simulation takes the SDK's own headers and only this one and winsim/ from here.
#include <combaseapi.h>
#include <inspectable.h>
#include <wrl/client.h>
#include <winsim/runtimeclass.h>

#include <new>
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


template <class... Interfaces>
class RuntimeClass : public winsim::wrl::RuntimeClassImpl<Interfaces...>
{
};
// The class flags only matter to the real library's activation and weak references.
template <unsigned int flags, class... Interfaces>
class RuntimeClass<RuntimeClassFlags<flags>, Interfaces...> : public winsim::wrl::RuntimeClassImpl<Interfaces...>
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
