#pragma once

#include "umliteglobal.h"

#include <QMap>
#include <QString>

// The running host's plug-in manager.
class UMLITE_API UmPluginManager
{
public:
    UmPluginManager();
    virtual ~UmPluginManager();

    // The directory of a loaded or installed plug-in; empty when unknown.
    // includeInstalled also answers for plug-ins that are not loaded.
    virtual QString getPluginPath(const QString& name, bool includeInstalled) const;

    void addPlugin(const QString& name, const QString& dir, bool loaded);

private:
    struct Entry
    {
        QString dir;
        bool loaded = false;
    };
    QMap<QString, Entry> m_plugins;
};
