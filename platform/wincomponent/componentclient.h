// The control surface as a test host reaches it: resolved from the component
// the platform's activation loaded into the process.
#pragma once

#include "componentcontrol.h"

#include <QString>

#include <vector>

struct WinsimComponent
{
    WinsimShownToastCountFn count = nullptr;
    WinsimShownToastFn toast = nullptr;
    WinsimRaiseActivatedFn raiseActivated = nullptr;
    WinsimRaiseDismissedFn raiseDismissed = nullptr;
    WinsimRaiseFailedFn raiseFailed = nullptr;
    WinsimWaitForEventsFn waitForEvents = nullptr;
    WinsimEventThreadIdFn eventThreadId = nullptr;
    WinsimHandlersKeptAliveFn handlersKeptAlive = nullptr;
    WinsimClearShownToastsFn clear = nullptr;

    bool find()
    {
        const HMODULE dll = GetModuleHandleW(L"winsimcomponent.dll");
        if (!dll)
            return false;
        resolve(dll, "WinsimShownToastCount", &count);
        resolve(dll, "WinsimShownToast", &toast);
        resolve(dll, "WinsimRaiseActivated", &raiseActivated);
        resolve(dll, "WinsimRaiseDismissed", &raiseDismissed);
        resolve(dll, "WinsimRaiseFailed", &raiseFailed);
        resolve(dll, "WinsimWaitForEvents", &waitForEvents);
        resolve(dll, "WinsimEventThreadId", &eventThreadId);
        resolve(dll, "WinsimHandlersKeptAlive", &handlersKeptAlive);
        resolve(dll, "WinsimClearShownToasts", &clear);
        return count && toast && raiseActivated && raiseDismissed && raiseFailed && waitForEvents && eventThreadId
               && handlersKeptAlive && clear;
    }

    struct Shown
    {
        UINT64 key = 0;
        bool onScreen = false;
        QString appId;
        QString xml;
    };
    // The latest toast the notifier showed (key 0 when none).
    Shown last() const
    {
        Shown shown;
        const int index = count() - 1;
        const int length = toast(index, nullptr, nullptr, nullptr, 0, nullptr, 0);
        if (length < 0)
            return shown;
        std::vector<wchar_t> xml(length + 1), appId(256);
        BOOL onScreen = FALSE;
        toast(index, &shown.key, &onScreen, appId.data(), int(appId.size()), xml.data(), int(xml.size()));
        shown.onScreen = onScreen;
        shown.appId = QString::fromWCharArray(appId.data());
        shown.xml = QString::fromWCharArray(xml.data());
        return shown;
    }

private:
    template <class F>
    static void resolve(HMODULE dll, const char* name, F* out)
    {
        *out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    }
};

