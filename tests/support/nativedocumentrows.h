#pragma once

#include "nativeexample.h"

#include <QtTest>

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
