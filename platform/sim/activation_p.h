// Runtime classes the simulation can activate, by class name.
#pragma once

#include <inspectable.h>

#include <QString>

namespace winsim {

HRESULT activationFactory(const QString& className, REFIID iid, void** factory);
HRESULT activateInstance(const QString& className, IInspectable** instance);

} // namespace winsim
