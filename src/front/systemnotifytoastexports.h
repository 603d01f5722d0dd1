// Public: the three functions a host resolves by name after loading the module.
#pragma once

#include <QtGlobal>

class ISystemNotifyToast;

extern "C" {
typedef bool (*IsSupportSystemToastFn)();
typedef ISystemNotifyToast* (*CreateSystemNotifyToastFn)(bool useApplicationToast);
typedef void (*DeleteSystemNotifyToastFn)(ISystemNotifyToast* toast);
}

// A module runs only in a host of the Qt major version it was built with; the
// Qt 6 build carries that in its name, so both can be installed side by side.
#if QT_VERSION_MAJOR == 5
#define SYSTEMNOTIFYTOAST_MODULE_NAME "systemnotifytoast"
#else
#define SYSTEMNOTIFYTOAST_MODULE_NAME "systemnotifytoast-qt" QT_STRINGIFY(QT_VERSION_MAJOR)
#endif
