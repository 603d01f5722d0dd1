#include "toastlog.h"

#include "umxloggerlite.h"

namespace {

const wchar_t k_logTag[] = L"vantor_feature:toast";
constexpr qint32 k_eFail = static_cast<qint32>(0x80004005u);

} // namespace

void logCall(const QString& where, const QString& message)
{
    // Joined rather than formatted: this runs for every step of every toast.
    const QString line = QLatin1String("call ") + where + QLatin1String(" : ") + message;
    UmxLoggerLite::writeInfo(k_logTag, line.toStdWString());
}

QString errorResultText(qint32 hr)
{
    return QStringLiteral("error result = %1").arg(hr);
}

bool checkFailed(const QString& where, qint32 hr, const void* out)
{
    if (hr < 0) {
        logCall(where, errorResultText(hr));
        return true;
    }
    if (!out) {
        logCall(where, QStringLiteral("error param"));
        return true;
    }
    return false;
}

bool checkFailed(const QString& where, qint32 hr)
{
    if (hr >= 0)
        return false;
    logCall(where, errorResultText(hr));
    return true;
}

bool checkFailedShort(const QString& where, qint32 hr)
{
    if (hr >= 0)
        return false;
    logCall(where, QStringLiteral("result = %1").arg(hr));
    return true;
}

qint32 stopResult(qint32 hr)
{
    return hr < 0 ? hr : k_eFail;
}
