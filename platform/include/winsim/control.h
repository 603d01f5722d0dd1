// Control surface of the simulated platform, for tests and the host program.
// The module itself never includes this header.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <QVersionNumber>

#include <memory>

#include "api.h"

namespace winsim {

class DeliveryBackend;

namespace control {

// ---- OS version --------------------------------------------------------------

// Pins the Windows version the platform reports; a null version means "not Windows".
WINSIM_API void pinOsVersion(const QVersionNumber& version);
// Back to what the simulation detects by itself.
WINSIM_API void unpinOsVersion();
// The version currently reported; null when the platform is not Windows.
WINSIM_API QVersionNumber osVersion();

// ---- user32 / kernel32 ---------------------------------------------------------

struct WindowPosCall
{
    quintptr window;
    qintptr insertAfter;
    unsigned int flags;
};

// Every SetWindowPos call so far, oldest first.
WINSIM_API QVector<WindowPosCall> windowPosCalls();
WINSIM_API void clearWindowPosCalls();

// How many GetModuleHandleW lookups the process made (tests check that a
// lookup by name did or did not happen).
WINSIM_API int moduleHandleLookups();

// How many times the process heap was compacted.
WINSIM_API int heapCompactions();

// ---- fault injection and the call trace ------------------------------------------
//
// Calls are named as "Interface::Method" ("IXmlDocument::CreateTextNode",
// "IToastNotifier::Show", "IPersistFile::Load"), by their exported name for
// functions ("RoGetActivationFactory", "WindowsCreateStringReference",
// "PropVariantToString", "CoCreateInstance", "SHGetFolderPathW") and as
// "QueryInterface(IXmlNode)" for a query of a simulated object for an interface.
// The call trace lists exactly these names, so a sweep can take each entry of a
// trace and fail it in turn.

enum class Repeat { Once, Always };

// The call fails with `result`; out-parameters are cleared. With `skip` n the
// first n matching calls proceed and the rule applies from the next one.
WINSIM_API void failCall(const QString& call, qint32 result, Repeat repeat = Repeat::Once, int skip = 0);
// The call succeeds without doing anything and hands out null (or zero).
WINSIM_API void nullResultOnCall(const QString& call, Repeat repeat = Repeat::Once, int skip = 0);
WINSIM_API void clearFaults();
// Rules not yet used up (a Once rule that has fired is gone).
WINSIM_API int pendingFaults();

WINSIM_API void setCallTraceEnabled(bool enabled);
// Names of the simulated calls made while tracing was on, oldest first.
WINSIM_API QStringList callTrace();
WINSIM_API void clearCallTrace();

// ---- runtime libraries loaded by name -----------------------------------------------

// Makes the stand-in of a Windows library ("combase.dll") impossible to load
// from now on (for libraries not yet loaded by the process), or possible again.
WINSIM_API void setLibraryMissing(const QString& windowsFileName, bool missing);

// ---- objects and strings ------------------------------------------------------------

// Simulated COM objects currently alive (documents, nodes, notifications, links ...).
WINSIM_API int liveObjects();
// Event handlers that were still referenced elsewhere when the platform let
// go of them (removed, or their notification released): each one is a
// reference its maker kept by mistake. The platform lets go on its event
// thread: read it after waitForPlatformEvents().
WINSIM_API int handlersKeptAlive();
// Strings made by WindowsCreateString or handed out by the platform and not yet deleted.
WINSIM_API int liveStrings();
// WindowsDeleteString calls with a handle that is no live string (a double release).
WINSIM_API int invalidStringReleases();

// ---- toast delivery -----------------------------------------------------------------

struct ShownToast
{
    quint64 key = 0;
    QString appUserModelId;
    QString xml;            // the document as serialised at Show
    bool onScreen = false;  // false once hidden, dismissed or failed
};

// Installs the notifier's delivery back end. Null restores the default: the
// desktop's notification server when no OS version is pinned and the session
// bus has one, the in-memory back end otherwise (pin a version in tests).
WINSIM_API void setDeliveryBackend(std::shared_ptr<DeliveryBackend> backend);
WINSIM_API std::shared_ptr<DeliveryBackend> deliveryBackend();

// What the in-memory back end was asked to show, oldest first.
WINSIM_API QVector<ShownToast> shownToasts();
WINSIM_API void clearShownToasts();

// Platform events of a toast shown through the in-memory back end. They are
// raised on the platform's event thread; false when no such toast is known.
WINSIM_API bool raiseActivated(quint64 key, const QString& arguments);
// Any reason value passes through, also outside UserCanceled..TimedOut.
WINSIM_API bool raiseDismissed(quint64 key, int reason);
WINSIM_API bool raiseFailed(quint64 key, qint32 errorCode);

// Waits until every platform event raised so far has been delivered to its
// handlers. False when that did not happen within the timeout.
WINSIM_API bool waitForPlatformEvents(int timeoutMs = 5000);
// True on the thread that raises platform events.
WINSIM_API bool isPlatformEventThread();

// ---- shell ----------------------------------------------------------------------------

// The id GetCurrentProcessExplicitAppUserModelID answers; empty means none set.
WINSIM_API void setProcessAppUserModelId(const QString& id);
WINSIM_API QString processAppUserModelId();
// Where SHGetFolderPathW points a CSIDL (CSIDL_COMMON_PROGRAMS ...); an empty
// path restores the default.
WINSIM_API void setFolderPath(int csidl, const QString& path);

// ---- all of it ---------------------------------------------------------------------------

// Faults, trace, shown toasts, process id, folders, missing libraries and the
// delivery back end back to their starting state (the OS version pin stays).
WINSIM_API void reset();

} // namespace control
} // namespace winsim
