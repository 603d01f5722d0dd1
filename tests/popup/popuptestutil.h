#pragma once

#include "toastdata.h"
#include "toastrequestkey.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <QVariant>

namespace popuptest {

struct Segment
{
    QString text;
    QString action;
    bool click;
};

// One rich line as the host sends it.
inline QString richLine(const QList<Segment>& segments)
{
    QJsonArray fields;
    for (const Segment& s : segments)
        fields.append(QJsonObject{{"text", s.text}, {"action", s.action}, {"click", s.click}});
    return QString::fromUtf8(QJsonDocument(QJsonObject{{"fields", fields}}).toJson(QJsonDocument::Compact));
}

inline QString actionJson(const QString& text, const QString& action)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonObject{{"text", text}, {"action", action}}).toJson(QJsonDocument::Compact));
}

inline QMap<int, QVariant> plainRequest(const QStringList& lines)
{
    return {{ToastKeyType, 4}, {ToastKeyTextFields, lines}};
}

inline QMap<int, QVariant> richRequest(const QStringList& lines)
{
    return {{ToastKeyType, 4}, {ToastKeyTextFields, lines}, {ToastKeyTextFormat, 1}};
}

inline ToastData parsed(const QMap<int, QVariant>& request)
{
    ToastData data;
    data.parse(request);
    return data;
}

// The colour at 20 % from the left, half way down, of the icon drawn at 64 px.
inline QColor sampleColor(const QIcon& icon)
{
    const QImage image = icon.pixmap(QSize(64, 64)).toImage().scaled(64, 64);
    return image.pixelColor(12, 32);
}

inline bool closeColors(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 48
        && a.alpha() > 200;
}

} // namespace popuptest
