#pragma once

#include "umliteglobal.h"

class UmPluginManager;

// Services of the host application object.
class UMLITE_API UmCoreApplication
{
public:
    // The host's plug-in manager; null when the host has not installed one.
    static UmPluginManager* getPluginMgr();
    // Installs (or with null removes) the manager; the caller keeps ownership.
    static void setPluginMgr(UmPluginManager* manager);
};
