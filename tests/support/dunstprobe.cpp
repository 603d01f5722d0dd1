#include "dunstprobe.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace dunst {

bool ctl(const QString& command, QByteArray* output)
{
    QProcess process;
    process.start(QStringLiteral("dunstctl"), command.split(QLatin1Char(' ')));
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << "dunstctl" << command << "failed:" << process.readAllStandardError();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

int holds()
{
    QByteArray displayed;
    QByteArray waiting;
    if (!ctl(QStringLiteral("count displayed"), &displayed) || !ctl(QStringLiteral("count waiting"), &waiting))
        return -1;
    return displayed.trimmed().toInt() + waiting.trimmed().toInt();
}

QVector<QVariantMap> history()
{
    QByteArray json;
    if (!ctl(QStringLiteral("history"), &json))
        return {};
    QVector<QVariantMap> entries;
    for (const QJsonValue& entry : QJsonDocument::fromJson(json).object().value("data").toArray().at(0).toArray()) {
        QVariantMap fields;
        const QJsonObject object = entry.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            fields.insert(it.key(), it.value().toObject().value("data").toVariant());
        entries.append(fields);
    }
    return entries;
}

} // namespace dunst
