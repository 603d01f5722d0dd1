// Windows Runtime activation. RoGetActivationFactory lives in combase.dll and
// is declared for its signature only: the module resolves it at run time.
#pragma once

#include "activation.h"

typedef enum RO_INIT_TYPE { RO_INIT_SINGLETHREADED = 0, RO_INIT_MULTITHREADED = 1 } RO_INIT_TYPE;

EXTERN_C HRESULT WINAPI RoGetActivationFactory(HSTRING activatableClassId, REFIID iid, void** factory);
EXTERN_C HRESULT WINAPI RoActivateInstance(HSTRING activatableClassId, IInspectable** instance);
