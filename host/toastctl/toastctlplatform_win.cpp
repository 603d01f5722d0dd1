#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <objbase.h>
#include <shobjidl.h>

#include "toastctlplatform.h"

#include <QOperatingSystemVersion>

namespace toastctl {

bool hasSimulationControls()
{
    return false;
}

bool pinPlatformVersion(const QString&, QString& error)
{
    error = QStringLiteral("--platform-version pins the simulated platform; Windows reports its own version");
    return false;
}

QStringList shownToastDocuments()
{
    return {};
}

QString noDisplayLeft()
{
    return QString();
}

bool nativeToastsExpected()
{
    return QOperatingSystemVersion::current() >= QOperatingSystemVersion::Windows10;
}

bool setProcessAppId(const QString& id, QString& error)
{
    const HRESULT hr = SetCurrentProcessExplicitAppUserModelID(reinterpret_cast<const wchar_t*>(id.utf16()));
    if (FAILED(hr)) {
        error = QStringLiteral("--app-id \"%1\" refused by the platform (%2)").arg(id, QString::number(hr));
        return false;
    }
    return true;
}

void initializeThread()
{
    // Balanced by nothing: the thread lives as long as the process.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

} // namespace toastctl
