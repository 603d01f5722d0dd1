#include "modulelibrary.h"

ModuleLibrary::ModuleLibrary()
    : m_library(QStringLiteral(SNT_MODULE_FILE))
{
    if (!m_library.load())
        return;
    isSupported = reinterpret_cast<IsSupportSystemToastFn>(m_library.resolve("isSupportSystemToast"));
    create = reinterpret_cast<CreateSystemNotifyToastFn>(m_library.resolve("createSystemNotifyToast"));
    destroy = reinterpret_cast<DeleteSystemNotifyToastFn>(m_library.resolve("deleteSystemNotifyToast"));
    m_ok = isSupported && create && destroy;
}
