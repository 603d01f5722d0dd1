// Requests a host may pass by mistake or malice: deep JSON, huge text, wrong
// types, format directives. Every service must take them without harm.
#pragma once

#include <QMap>
#include <QMetaType>
#include <QStringList>
#include <QVariant>
#include <QtTest>

using Request = QMap<int, QVariant>;
Q_DECLARE_METATYPE(Request)

// Adds the columns "request" and "logged" (part of a line the native service
// writes once it composes the toast) and one row per request.
inline void addHostileRequestRows()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QString>("logged");

    const QStringList lines{"Title", "Body"};
    const QString open = QStringLiteral("{\"text\":\"Open\",\"action\":\"open\"}");
    const QString rich = QStringLiteral("{\"fields\":[{\"text\":\"Rich\"}]}");
    for (int depth : {1001, 50000}) {
        const QString nested = QString(depth, QLatin1Char('[')) + QString(depth, QLatin1Char(']'));
        QTest::addRow("action %d deep", depth)
            << Request{{0, 1}, {5, lines}, {10, QStringList{nested, open}}}
            << "showToast : skip action 0: ";
        QTest::addRow("rich line %d deep", depth)
            << Request{{0, 1}, {17, 1}, {5, QStringList{nested, rich}}, {10, QStringList{open}}}
            << "showToast : skip rich line 0: ";
    }
    const QString huge(1 << 20, QLatin1Char('x'));
    QTest::newRow("1 MiB text") << Request{{0, 1}, {5, QStringList{huge, huge}}}
                                << "begin text:" + huge + " pos:1";
    QTest::newRow("type of letters") << Request{{0, "abc"}, {5, lines}} << "begin text:Title pos:0";
    QTest::newRow("expiration -1") << Request{{0, 1}, {5, lines}, {9, -1}} << "begin text:Body pos:1";
    QTest::newRow("percent signs") << Request{{0, 1}, {5, QStringList{"Saved %1 of files", "%2 left, 100%"}}}
                                   << "begin text:%2 left, 100% pos:1";
}
