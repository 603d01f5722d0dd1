#include "requestjson.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSize>
#include <QStringList>

#include <cmath>

namespace {

constexpr int k_keyTextFields = 5;
constexpr int k_keyImageSize = 4;
constexpr int k_keyActions = 10;
constexpr int k_keyTextFormat = 17;
// Far above any real request; a bound so that a wrong file cannot eat the memory.
constexpr qint64 k_maxJsonFileBytes = 16 * 1024 * 1024;

bool parseObject(const QString& text, QJsonObject& object, QString& error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("invalid JSON: %1 at offset %2").arg(parseError.errorString(), QString::number(parseError.offset));
        return false;
    }
    if (!doc.isObject()) {
        error = QStringLiteral("expected a JSON object");
        return false;
    }
    object = doc.object();
    return true;
}

QVariant scalar(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::Double: {
        const double d = value.toDouble();
        if (std::floor(d) == d && std::fabs(d) < 9.0e15)
            return qlonglong(d);
        return d;
    }
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Null:
        return QVariant(QString()); // a null string: present but null
    default:
        return QVariant();
    }
}

// Arrays become string lists; objects inside are passed on as compact JSON when allowed.
bool stringList(const QJsonArray& array, bool objectsAllowed, QStringList& out, QString& error)
{
    for (const QJsonValue& item : array) {
        if (item.isString()) {
            out << item.toString();
        } else if (item.isObject() && objectsAllowed) {
            out << QString::fromUtf8(QJsonDocument(item.toObject()).toJson(QJsonDocument::Compact));
        } else {
            error = objectsAllowed ? QStringLiteral("list entries must be strings or objects")
                                   : QStringLiteral("list entries must be strings");
            return false;
        }
    }
    return true;
}

} // namespace

bool readJsonArgument(const QString& argument, QString& text, QString& error)
{
    if (!argument.startsWith(QLatin1Char('@'))) {
        text = argument;
        return true;
    }
    QFile file(argument.mid(1));
    // Asked before opening: opening a FIFO waits for a writer, a device reads forever.
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        error = QStringLiteral("cannot read %1: not a regular file").arg(file.fileName());
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    // Read one byte past the bound: the file may have grown since it was asked about.
    const QByteArray bytes = file.read(k_maxJsonFileBytes + 1);
    if (bytes.size() > k_maxJsonFileBytes) {
        error = QStringLiteral("cannot read %1: larger than 16 MiB").arg(file.fileName());
        return false;
    }
    text = QString::fromUtf8(bytes);
    return true;
}

bool requestFromJson(const QString& text, QMap<int, QVariant>& request, QString& error)
{
    QJsonObject object;
    if (!parseObject(text, object, error))
        return false;
    const bool richText = object.value(QString::number(k_keyTextFormat)).toInt() == 1;
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool isNumber = false;
        const int key = it.key().toInt(&isNumber);
        if (!isNumber || key < 0 || key > 17) {
            error = QStringLiteral("unknown request key \"%1\" (keys are \"0\" to \"17\")").arg(it.key());
            return false;
        }
        const QJsonValue value = it.value();
        if (key == k_keyImageSize && value.isArray()) {
            const QJsonArray size = value.toArray();
            if (size.size() != 2 || !size.at(0).isDouble() || !size.at(1).isDouble()) {
                error = QStringLiteral("key \"4\" takes [width, height]");
                return false;
            }
            request.insert(key, QSize(size.at(0).toInt(), size.at(1).toInt()));
        } else if (value.isArray()) {
            const bool objectsAllowed = key == k_keyActions || (key == k_keyTextFields && richText);
            QStringList list;
            if (!stringList(value.toArray(), objectsAllowed, list, error)) {
                error = QStringLiteral("key \"%1\": %2").arg(QString::number(key), error);
                return false;
            }
            request.insert(key, list);
        } else if (value.isObject()) {
            error = QStringLiteral("key \"%1\" cannot be an object").arg(key);
            return false;
        } else {
            request.insert(key, scalar(value));
        }
    }
    return true;
}

bool configFromJson(const QString& text, QVariantMap& config, QString& error)
{
    QJsonObject object;
    if (!parseObject(text, object, error))
        return false;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isString()) {
            config.insert(it.key(), it.value().toString());
        } else if (it.value().isArray()) {
            QStringList list;
            if (!stringList(it.value().toArray(), false, list, error)) {
                error = QStringLiteral("config \"%1\": %2").arg(it.key(), error);
                return false;
            }
            config.insert(it.key(), list);
        } else {
            error = QStringLiteral("config \"%1\" must be a string or a list of strings").arg(it.key());
            return false;
        }
    }
    return true;
}
