// Public: the three functions a host resolves by name after loading the module.
#pragma once

class ISystemNotifyToast;

extern "C" {
typedef bool (*IsSupportSystemToastFn)();
typedef ISystemNotifyToast* (*CreateSystemNotifyToastFn)(bool useApplicationToast);
typedef void (*DeleteSystemNotifyToastFn)(ISystemNotifyToast* toast);
}

#define SYSTEMNOTIFYTOAST_MODULE_NAME "systemnotifytoast"
