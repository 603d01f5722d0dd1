// The full native toast request used by the native tests and benchmark: an
// image-and-text template with a hero image, two lines, an attribution, two
// actions, a looping sound and a long duration.
#pragma once

#include <QMap>
#include <QStringList>
#include <QVariant>

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

