#pragma once

#include "systemnotifytoastexports.h"

#include <QLibrary>

// The built module, loaded by file name the way a host does it.
class ModuleLibrary
{
public:
    ModuleLibrary();
    bool isLoaded() const { return m_ok; }
    QString errorString() const { return m_library.errorString(); }
    // As a host's QLibrary::unload (FreeLibrary on Windows).
    bool unload() { return m_library.unload(); }

    IsSupportSystemToastFn isSupported = nullptr;
    CreateSystemNotifyToastFn create = nullptr;
    DeleteSystemNotifyToastFn destroy = nullptr;

private:
    QLibrary m_library;
    bool m_ok = false;
};
