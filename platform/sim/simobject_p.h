// Base of every COM object the simulation hands out: a real reference count
// (Microsoft::WRL::RuntimeClass), a count of live objects for tests, and
// queries that go through fault injection as "QueryInterface(IName)".
#pragma once

#include "faults_p.h"

#include <wrl/implements.h>

#include <string>

namespace winsim {
namespace detail {

void countObject(int delta);
// Called with what Release answered when the platform dropped its reference to
// an event handler: that reference is meant to be the last one.
void countHandlerRelease(ULONG remaining);

#ifndef _WIN32
template <class I>
const char* queryCallName()
{
    static const std::string name = [] {
        std::string full = InterfaceUuid<I>::name;
        const size_t colons = full.rfind("::", full.find('<'));
        if (colons != std::string::npos)
            full = full.substr(colons + 2);
        return "QueryInterface(" + full + ")";
    }();
    return name.c_str();
}

#endif

template <class... Interfaces>
const char* queryCallNameFor(REFIID riid)
{
#ifdef _WIN32
    // The SDK's interfaces carry no printable name: queries are not faulted there.
    (void)riid;
    return nullptr;
#else
    const char* name = nullptr;
    (void)((riid == __uuidof(Interfaces) ? (name = queryCallName<Interfaces>(), true) : false) || ...);
    if (!name && riid == __uuidof(IInspectable))
        name = queryCallName<IInspectable>();
    if (!name && riid == __uuidof(IUnknown))
        name = queryCallName<IUnknown>();
    return name;
#endif
}

} // namespace detail

template <class... Interfaces>
class SimObject : public Microsoft::WRL::RuntimeClass<Interfaces...>
{
    typedef Microsoft::WRL::RuntimeClass<Interfaces...> Base;

public:
    SimObject() { detail::countObject(1); }
    ~SimObject() override { detail::countObject(-1); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (const char* name = detail::queryCallNameFor<Interfaces...>(riid))
            WINSIM_CALL(name, object);
        return Base::QueryInterface(riid, object);
    }
};

} // namespace winsim
