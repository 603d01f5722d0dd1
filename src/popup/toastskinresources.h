#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class OrvexCloudSkinProxy;

struct ModuleVersion
{
    quint32 major = 0;
    quint32 minor = 0;
    quint32 patch = 0;

    bool isUnknown() const { return major == 0 && minor == 0 && patch == 0; }
};

// Appends the default resource files and registers every entry with the skin.
void registerDefaultRccSources(QStringList sources);

// "a.b.c" -> a.b.c; anything without exactly three parts -> 0.0.0.
ModuleVersion parseModuleVersion(const QString& text);
// The first line of dir/fileName; 0.0.0 when the file cannot be read.
ModuleVersion readModuleVersion(const QString& dir, const QString& fileName);
// The library path of moduleName inside dir when its version.tag has the
// required major version; empty otherwise.
QString checkAddonModule(const QString& dir, const QString& moduleName, const QString& requiredVersion);
// The plug-in's own folder first, then the frameworks' addons folder.
QString findAddonModulePath(const QString& dirName, const QString& moduleName, const QString& requiredVersion);
// The cloud skin's proxy, or null. The disk is searched once per process.
OrvexCloudSkinProxy* cloudSkinProxy();
