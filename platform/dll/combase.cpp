// Stand-in of combase.dll: the Windows Runtime's activation and string entry points.
#include "../sim/entrypoints_p.h"

#include <roapi.h>
#include <winstring.h>

#define COMBASE_EXPORT extern "C" __attribute__((visibility("default")))

COMBASE_EXPORT HRESULT RoGetActivationFactory(HSTRING activatableClassId, REFIID iid, void** factory)
{
    return winsim::entry::roGetActivationFactory(activatableClassId, iid, factory);
}

COMBASE_EXPORT HRESULT RoActivateInstance(HSTRING activatableClassId, IInspectable** instance)
{
    return winsim::entry::roActivateInstance(activatableClassId, instance);
}

COMBASE_EXPORT HRESULT WindowsCreateString(PCWSTR sourceString, UINT32 length, HSTRING* string)
{
    return winsim::entry::windowsCreateString(sourceString, length, string);
}

COMBASE_EXPORT HRESULT WindowsCreateStringReference(PCWSTR sourceString, UINT32 length, HSTRING_HEADER* hstringHeader,
                                                    HSTRING* string)
{
    return winsim::entry::windowsCreateStringReference(sourceString, length, hstringHeader, string);
}

COMBASE_EXPORT HRESULT WindowsDeleteString(HSTRING string)
{
    return winsim::entry::windowsDeleteString(string);
}

COMBASE_EXPORT HRESULT WindowsDuplicateString(HSTRING string, HSTRING* newString)
{
    return winsim::entry::windowsDuplicateString(string, newString);
}

COMBASE_EXPORT PCWSTR WindowsGetStringRawBuffer(HSTRING string, UINT32* length)
{
    return winsim::entry::windowsGetStringRawBuffer(string, length);
}

COMBASE_EXPORT UINT32 WindowsGetStringLen(HSTRING string)
{
    UINT32 length = 0;
    winsim::entry::windowsGetStringRawBuffer(string, &length);
    return length;
}

COMBASE_EXPORT BOOL WindowsIsStringEmpty(HSTRING string)
{
    return WindowsGetStringLen(string) == 0;
}
