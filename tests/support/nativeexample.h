// The full native toast request used by the native tests and benchmark: an
// image-and-text template with a hero image, two lines, an attribution, two
// actions, a looping sound and a long duration.
#pragma once

#include <QMap>
#include <QStringList>
#include <QVariant>
#include <QtTest>

inline QMap<int, QVariant> fullNativeExample()
{
    return {
        {0, 5},
        {3, QStringLiteral("C:/Orvex/logo.png")},
        {5, QStringList{QStringLiteral("Report ready"), QStringLiteral("Q3 figures.xlsx")}},
        {6, QStringLiteral("C:/Orvex/hero.png")},
        {7, QStringLiteral("Orvex Cloud")},
        {8, 2},
        {10, QStringList{QStringLiteral("{\"text\":\"Open\",\"action\":\"open-file\"}"),
                         QStringLiteral("{\"text\":\"Dismiss\",\"action\":\"dismiss\"}")}},
        {12, QStringLiteral("ms-winsoundevent:Notification.Looping.Alarm")},
        {13, 2},
    };
}

// Rows of requests whose documents and log lines the golden file nativeservice.txt
// holds under each row's name, on every platform: a column "request".
inline void addNativeDocumentRows()
{
    using Request = QMap<int, QVariant>;
    QTest::addColumn<Request>("request");
    QTest::newRow("full example") << fullNativeExample();
    QTest::newRow("missing lines stay empty") << Request{{0, 3}, {5, QStringList{"one"}}};
    QTest::newRow("empty middle line") << Request{{0, 3}, {5, QStringList{"a", "", "c"}}};
    QTest::newRow("extra lines ignored") << Request{{0, 0}, {5, QStringList{"one", "two", "three"}}};
    QTest::newRow("hero on text template keeps legacy binding") << Request{{0, 1}, {5, QStringList{"a", "b"}}, {6, "C:/h.png"}};
    QTest::newRow("markup in text and action")
        << Request{{0, 0}, {5, QStringList{"<b>&\"x\"</b>"}}, {10, QStringList{"{\"text\":\"a<b\",\"action\":\"q=\\\"1\\\"&r\"}"}}};
    QTest::newRow("no type: refused") << Request{{5, QStringList{"a"}}};
    QTest::newRow("type 8: refused after the template") << Request{{0, 8}, {5, QStringList{"a"}}, {6, "C:/h.png"}};
}
