// The exported entry points of the library stand-ins, each behind fault injection.
#include "entrypoints_p.h"

#include "activation_p.h"
#include "faults_p.h"
#include "hstring_p.h"
#include "propvariant_p.h"
#include "shell_p.h"

namespace winsim {
namespace entry {

HRESULT windowsCreateString(PCWSTR source, UINT32 length, HSTRING* string)
{
    WINSIM_CALL("WindowsCreateString", string);
    return createString(source, length, string);
}

HRESULT windowsCreateStringReference(PCWSTR source, UINT32 length, HSTRING_HEADER* header, HSTRING* string)
{
    WINSIM_CALL("WindowsCreateStringReference", string);
    return createStringReference(source, length, header, string);
}

HRESULT windowsDeleteString(HSTRING string)
{
    return deleteString(string);
}

HRESULT windowsDuplicateString(HSTRING string, HSTRING* copy)
{
    WINSIM_CALL("WindowsDuplicateString", copy);
    return duplicateString(string, copy);
}

PCWSTR windowsGetStringRawBuffer(HSTRING string, UINT32* length)
{
    return stringRawBuffer(string, length);
}

HRESULT roGetActivationFactory(HSTRING classId, REFIID iid, void** factory)
{
    WINSIM_CALL("RoGetActivationFactory", factory);
    return activationFactory(toQString(classId), iid, factory);
}

HRESULT roActivateInstance(HSTRING classId, IInspectable** instance)
{
    WINSIM_CALL("RoActivateInstance", instance);
    return activateInstance(toQString(classId), instance);
}

HRESULT propVariantToString(REFPROPVARIANT propvar, PWSTR psz, UINT cch)
{
    WINSIM_CALL("PropVariantToString", psz);
    return convertToString(propvar, psz, cch);
}

HRESULT getCurrentProcessExplicitAppUserModelID(PWSTR* appId)
{
    WINSIM_CALL("GetCurrentProcessExplicitAppUserModelID", appId);
    return processAppUserModelId(appId);
}

HRESULT setCurrentProcessExplicitAppUserModelID(PCWSTR appId)
{
    WINSIM_CALL("SetCurrentProcessExplicitAppUserModelID");
    return setProcessAppUserModelId(appId);
}

} // namespace entry
} // namespace winsim
