#pragma once

#include "isystemnotifytoast.h"
#include "isystemnotifytoastlistener.h"

#include <QMap>
#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

struct OldToastData
{
    QString clickString; // caption of the first action
    std::weak_ptr<ISystemNotifyToastListener> listener;
};

// Balloon messages of a tray icon, for systems without native toasts.
class OldSystemNotifyToastWinImpl : public QObject, public ISystemNotifyToast
{
    Q_OBJECT
public:
    OldSystemNotifyToastWinImpl();
    ~OldSystemNotifyToastWinImpl() override;

    bool init(const QVariantMap& config) override;
    quint64 showToast(const QMap<int, QVariant>& request,
                      const std::weak_ptr<ISystemNotifyToastListener>& listener) override;
    bool updateToast(quint64 id, const QMap<int, QVariant>& request) override;
    bool hideToast(quint64 id) override;
    bool isToastExist(quint64 id) override;

    // For tests: the icon that carries the balloons.
    QSystemTrayIcon* trayIcon() { return &m_trayIcon; }

protected slots:
    void onMessageClicked();

private:
    QSystemTrayIcon m_trayIcon;
    QMap<quint64, std::shared_ptr<OldToastData>> m_toasts;
};
