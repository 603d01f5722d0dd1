#include "toastctlsession.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

void printEvent(const QJsonObject& event)
{
    const QByteArray line = QJsonDocument(event).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void ToastctlListener::onToastActivated(quint64 toastId, int source, qint64 index, const QString& action)
{
    printEvent({{"event", "activated"}, {"id", double(toastId)}, {"source", source},
                {"index", double(index)}, {"action", action}});
    emit outcome();
}

void ToastctlListener::onToastDismissed(quint64 toastId, int reason)
{
    printEvent({{"event", "dismissed"}, {"id", double(toastId)}, {"reason", reason}});
    emit outcome();
}

void ToastctlListener::onToastFailed(quint64 toastId, int errorCode)
{
    printEvent({{"event", "failed"}, {"id", double(toastId)}, {"errorCode", errorCode}});
    emit outcome();
}

ModuleHandle::~ModuleHandle()
{
    // The module's static state may still be referenced by Qt at exit; leave it loaded.
}

bool ModuleHandle::load(const QString& file, QString& error)
{
    QStringList candidates;
    if (!file.isEmpty()) {
        candidates << file;
    } else {
        const QString appDir = QCoreApplication::applicationDirPath();
#ifdef _WIN32
        // A Windows host ships the module beside itself, where its imports lie too.
        candidates << appDir + QStringLiteral("/" SNT_INSTALLED_MODULE_FROM_BINDIR);
#else
        candidates << appDir + QStringLiteral("/../lib/lib" SYSTEMNOTIFYTOAST_MODULE_NAME ".so")
                   << appDir + QStringLiteral("/" SNT_INSTALLED_MODULE_FROM_BINDIR)
                   << appDir + QStringLiteral("/lib" SYSTEMNOTIFYTOAST_MODULE_NAME ".so");
#endif
        candidates << QStringLiteral(SYSTEMNOTIFYTOAST_MODULE_NAME);
    }
    QStringList errors;
    for (const QString& candidate : candidates) {
        if (!file.isEmpty() || !candidate.contains(QLatin1Char('/')) || QFileInfo::exists(candidate)) {
            m_library.setFileName(candidate);
            if (m_library.load())
                break;
            errors << m_library.errorString();
        }
    }
    if (!m_library.isLoaded()) {
        error = errors.join(QStringLiteral("; "));
        return false;
    }
    isSupported = reinterpret_cast<IsSupportSystemToastFn>(m_library.resolve("isSupportSystemToast"));
    create = reinterpret_cast<CreateSystemNotifyToastFn>(m_library.resolve("createSystemNotifyToast"));
    destroy = reinterpret_cast<DeleteSystemNotifyToastFn>(m_library.resolve("deleteSystemNotifyToast"));
    if (!isSupported || !create || !destroy) {
        error = QStringLiteral("%1 lacks the toast entry points").arg(m_library.fileName());
        return false;
    }
    return true;
}
