// The simulated platform's controls the native tests use (winsim::control on Linux), reached through the exports
// of the component the system's activation loaded into the process.
#pragma once

#include "componentcontrol.h"

#include <QString>
#include <QVector>

#include <vector>

namespace sim {

struct ShownToast
{
    quint64 key = 0;
    QString appUserModelId;
    QString xml;
    bool onScreen = false;
};

// An export of the component; its result is false (or zero) until the module's first activation has loaded it.
template <class F, class... Args>
auto call(const char* name, Args... args)
{
    const HMODULE dll = GetModuleHandleW(L"winsimcomponent.dll");
    const auto f = dll ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name))) : nullptr;
    return f ? f(args...) : decltype(f(args...))();
}

inline QVector<ShownToast> shownToasts()
{
    QVector<ShownToast> shown(call<WinsimShownToastCountFn>("WinsimShownToastCount"));
    for (int i = 0; i < shown.size(); ++i) {
        std::vector<wchar_t> xml(call<WinsimShownToastFn>("WinsimShownToast", i, nullptr, nullptr, nullptr, 0, nullptr, 0) + 1);
        std::vector<wchar_t> appId(256);
        BOOL onScreen = FALSE;
        call<WinsimShownToastFn>("WinsimShownToast", i, &shown[i].key, &onScreen, appId.data(), int(appId.size()), xml.data(),
                                 int(xml.size()));
        shown[i].onScreen = onScreen;
        shown[i].appUserModelId = QString::fromWCharArray(appId.data());
        shown[i].xml = QString::fromWCharArray(xml.data());
    }
    return shown;
}

inline bool raiseActivated(quint64 key, const QString& arguments)
{
    return call<WinsimRaiseActivatedFn>("WinsimRaiseActivated", key, reinterpret_cast<const wchar_t*>(arguments.utf16()));
}

inline bool raiseDismissed(quint64 key, int reason)
{
    return call<WinsimRaiseDismissedFn>("WinsimRaiseDismissed", key, reason);
}

inline bool raiseFailed(quint64 key, qint32 errorCode)
{
    return call<WinsimRaiseFailedFn>("WinsimRaiseFailed", key, errorCode);
}

inline bool waitForPlatformEvents(int timeoutMs)
{
    return call<WinsimWaitForEventsFn>("WinsimWaitForEvents", timeoutMs);
}

inline int handlersKeptAlive()
{
    return call<WinsimHandlersKeptAliveFn>("WinsimHandlersKeptAlive");
}

inline void clearShownToasts()
{
    call<WinsimClearShownToastsFn>("WinsimClearShownToasts");
}

// Asked first on the test's own thread: the component answers by posting to its event thread.
inline DWORD eventThreadId()
{
    static DWORD id = 0;
    if (id == 0)
        id = call<WinsimEventThreadIdFn>("WinsimEventThreadId");
    return id;
}

inline bool isPlatformEventThread()
{
    return eventThreadId() != 0 && GetCurrentThreadId() == eventThreadId();
}

} // namespace sim
