// Control surface of the notification component for a test host. The host
// finds the component already loaded by the platform's activation
// (GetModuleHandleW(L"winsimcomponent.dll")) and resolves these by name.
// Events are raised on the component's own event thread, as the platform does.
#pragma once

#include <windows.h>

extern "C" {

// Toasts shown through the notifier so far, oldest first.
typedef int(WINAPI* WinsimShownToastCountFn)();
// Copies what toast `index` showed: its key, whether it is still on screen,
// and its application id and serialised document (each cut to the buffer,
// NUL-terminated). Answers the document's length in characters, -1 for no
// such toast.
typedef int(WINAPI* WinsimShownToastFn)(int index, UINT64* key, BOOL* onScreen, wchar_t* appId, int appIdChars,
                                        wchar_t* xml, int xmlChars);
typedef BOOL(WINAPI* WinsimRaiseActivatedFn)(UINT64 key, const wchar_t* arguments);
typedef BOOL(WINAPI* WinsimRaiseDismissedFn)(UINT64 key, int reason);
typedef BOOL(WINAPI* WinsimRaiseFailedFn)(UINT64 key, HRESULT errorCode);
// Waits until every event raised so far has reached its handlers.
typedef BOOL(WINAPI* WinsimWaitForEventsFn)(int timeoutMs);
// The thread the component raises events on.
typedef DWORD(WINAPI* WinsimEventThreadIdFn)();
// Objects of the component alive now; handlers the platform released that
// stayed alive (see winsim::control::handlersKeptAlive).
typedef int(WINAPI* WinsimLiveObjectsFn)();
typedef int(WINAPI* WinsimHandlersKeptAliveFn)();
// Forgets every shown toast, releasing the notifications and so their handlers.
typedef void(WINAPI* WinsimClearShownToastsFn)();

} // extern "C"
