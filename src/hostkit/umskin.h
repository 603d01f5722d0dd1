#pragma once

#include "umliteglobal.h"

#include <QObject>
#include <QString>
#include <QStringList>

// Where a skin keeps its compiled resource files.
class UMLITE_API IUmResourceRegistry
{
public:
    // Registers an .rcc file under mapRoot (empty: the resource root).
    virtual bool registerRcc(const QString& rccPath, const QString& mapRoot) = 0;
    // Every path passed to registerRcc, in call order.
    virtual QStringList requestedFiles() const = 0;
    // The absolute files that really got registered, in call order.
    virtual QStringList registeredFiles() const = 0;

protected:
    virtual ~IUmResourceRegistry() = default;
};

class UMLITE_API IUmLiteSkin
{
public:
    virtual QString skinName() const = 0;
    virtual QString themeName() const = 0;
    virtual IUmResourceRegistry* resourceRegistry() = 0;
    // The style sheet for a theme class, gathered from registered resources.
    virtual QString styleSheet(const QString& themeClass) const = 0;

protected:
    virtual ~IUmLiteSkin() = default;
};

class UMLITE_API UmLiteSkin : public QObject, public IUmLiteSkin
{
    Q_OBJECT
public:
    explicit UmLiteSkin(QObject* parent = nullptr);
    ~UmLiteSkin() override;

    QString skinName() const override;
    QString themeName() const override;
    IUmResourceRegistry* resourceRegistry() override;
    QString styleSheet(const QString& themeClass) const override;

    // Switches the kit between the "light" and "dark" themes and announces it
    // on every skin: themes are process-wide.
    void setThemeName(const QString& theme);

    // The theme every kit widget is drawn in.
    static QString currentThemeName();
    // The style sheet for a theme class in the current theme; empty when none is registered.
    static QString themeStyleSheet(const QString& themeClass);
    // Directories searched, in order, for relative .rcc names.
    void addResourceSearchPath(const QString& dir);

signals:
    void skinChanged();

private:
    class Private;
    Private* d;
};

class UMLITE_API UmSkin : public UmLiteSkin
{
    Q_OBJECT
public:
    explicit UmSkin(QObject* parent = nullptr);
    ~UmSkin() override;
};
