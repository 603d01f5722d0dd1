#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// Turns the JSON given on the command line into the maps the module takes.
// Both answer false and fill error when the text does not fit.
bool requestFromJson(const QString& text, QMap<int, QVariant>& request, QString& error);
bool configFromJson(const QString& text, QVariantMap& config, QString& error);

// "@file.json" reads the file; anything else is the JSON itself.
bool readJsonArgument(const QString& argument, QString& text, QString& error);
