// Entry points of the notification component: the platform's activation
// (DllGetActivationFactory, DllCanUnloadNow) and the control surface of
// componentcontrol.h. Exported by name through component.def.
#include "componentcontrol.h"

#include "../sim/activation_p.h"
#include "../sim/hstring_p.h"
#include "../sim/platformthread_p.h"

#include <activation.h>
#include <winsim/control.h>

#include <algorithm>
#include <atomic>

namespace {

using namespace winsim;

// Copies text into a caller's buffer, cut to fit and NUL-terminated.
void copyOut(const QString& text, wchar_t* buffer, int chars)
{
    if (!buffer || chars <= 0)
        return;
    const int n = std::min(text.size(), chars - 1);
    text.left(n).toWCharArray(buffer);
    buffer[n] = L'\0';
}

} // namespace

extern "C" {

HRESULT WINAPI DllGetActivationFactory(HSTRING classId, IActivationFactory** factory)
{
    return activationFactory(toQString(classId), __uuidof(IActivationFactory), reinterpret_cast<void**>(factory));
}

// The event thread lives as long as the process and runs this library's code.
HRESULT WINAPI DllCanUnloadNow()
{
    return S_FALSE;
}

int WINAPI WinsimShownToastCount()
{
    return control::shownToasts().size();
}

int WINAPI WinsimShownToast(int index, UINT64* key, BOOL* onScreen, wchar_t* appId, int appIdChars, wchar_t* xml,
                            int xmlChars)
{
    const QVector<control::ShownToast> shown = control::shownToasts();
    if (index < 0 || index >= shown.size())
        return -1;
    const control::ShownToast& toast = shown.at(index);
    if (key)
        *key = toast.key;
    if (onScreen)
        *onScreen = toast.onScreen ? TRUE : FALSE;
    copyOut(toast.appUserModelId, appId, appIdChars);
    copyOut(toast.xml, xml, xmlChars);
    return toast.xml.size();
}

BOOL WINAPI WinsimRaiseActivated(UINT64 key, const wchar_t* arguments)
{
    return control::raiseActivated(key, arguments ? QString::fromWCharArray(arguments) : QString()) ? TRUE : FALSE;
}

BOOL WINAPI WinsimRaiseDismissed(UINT64 key, int reason)
{
    return control::raiseDismissed(key, reason) ? TRUE : FALSE;
}

BOOL WINAPI WinsimRaiseFailed(UINT64 key, HRESULT errorCode)
{
    return control::raiseFailed(key, errorCode) ? TRUE : FALSE;
}

BOOL WINAPI WinsimWaitForEvents(int timeoutMs)
{
    return control::waitForPlatformEvents(timeoutMs) ? TRUE : FALSE;
}

DWORD WINAPI WinsimEventThreadId()
{
    static std::atomic<DWORD> id{0};
    if (id == 0) {
        platformthread::post([] { id = GetCurrentThreadId(); });
        if (!platformthread::flush(5000))
            return 0;
    }
    return id;
}

int WINAPI WinsimLiveObjects()
{
    return control::liveObjects();
}

int WINAPI WinsimHandlersKeptAlive()
{
    return control::handlersKeptAlive();
}

void WINAPI WinsimClearShownToasts()
{
    control::clearShownToasts();
    platformthread::flush(5000); // tasks still queued hold notifications too
}

} // extern "C"
