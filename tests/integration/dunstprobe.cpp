#include "dunstprobe.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

QString desktopFile(const QString& name)
{
    return qEnvironmentVariable("WITH_DESKTOP_DIR") + QLatin1Char('/') + name;
}

int counter(const char* name)
{
    QDBusInterface dunst(kService, QStringLiteral("/org/freedesktop/Notifications"),
                         QStringLiteral("org.freedesktop.DBus.Properties"));
    const QDBusReply<QDBusVariant> reply =
        dunst.call(QStringLiteral("Get"), QStringLiteral("org.dunstproject.cmd0"), QString::fromLatin1(name));
    return reply.isValid() ? reply.value().variant().toInt() : -1;
}

} // namespace

namespace dunst {

bool run(const QString& program, const QStringList& arguments, QByteArray* output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << program << arguments << "failed:" << process.readAllStandardError();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

bool ctl(const QString& command)
{
    return run(QStringLiteral("dunstctl"), command.split(QLatin1Char(' ')));
}

int holds()
{
    const int displayed = counter("displayedLength");
    const int waiting = counter("waitingLength");
    return displayed < 0 || waiting < 0 ? -1 : displayed + waiting;
}

QVector<QVariantMap> history()
{
    QByteArray json;
    if (!run(QStringLiteral("dunstctl"), {QStringLiteral("history")}, &json))
        return {};
    QVector<QVariantMap> entries;
    const QJsonArray all = QJsonDocument::fromJson(json).object().value("data").toArray().at(0).toArray();
    for (const QJsonValue& entry : all) {
        QVariantMap fields;
        const QJsonObject object = entry.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            fields.insert(it.key(), it.value().toObject().value("data").toVariant());
        entries.append(fields);
    }
    return entries;
}

bool pickNext(const QString& text)
{
    QFile pick(desktopFile(QStringLiteral("dmenu-pick")));
    if (!pick.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return pick.write(text.toUtf8()) == text.toUtf8().size();
}

QString lastMenu()
{
    QFile menu(desktopFile(QStringLiteral("dmenu-input")));
    return menu.open(QIODevice::ReadOnly) ? QString::fromUtf8(menu.readAll()) : QString();
}

bool serverOnBus()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value();
}

bool killServer()
{
    const QDBusReply<uint> pid = QDBusConnection::sessionBus().interface()->servicePid(kService);
    if (!pid.isValid() || ::kill(pid_t(pid.value()), SIGKILL) != 0)
        return false;
    // The bus frees the name when it sees the connection drop.
    const QDeadlineTimer deadline(10000);
    while (serverOnBus()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

bool startServer()
{
    return run(desktopFile(QStringLiteral("start-dunst")), {});
}

} // namespace dunst
