#pragma once

#include "hstringwrapper.h"
#include "winrtlibrary.h"

#include <roapi.h>

#include <string>

// The activation factory of a runtime class for interface T. E_FAIL when the
// runtime cannot be reached; *factory is then left as it was.
template <class T>
HRESULT getActivationFactory(const std::wstring& className, T** factory)
{
    HRESULT result = E_FAIL;
    auto roGetActivationFactory = reinterpret_cast<decltype(&RoGetActivationFactory)>(
        resolveCombaseFunction("RoGetActivationFactory"));
    if (roGetActivationFactory)
        result = roGetActivationFactory(HstringWrapper(className, false).get(), __uuidof(T),
                                        reinterpret_cast<void**>(factory));
    return result;
}
