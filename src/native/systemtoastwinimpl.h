#pragma once

#include "isystemnotifytoast.h"

#include <windows.ui.notifications.h>
#include <wrl/client.h>

#include <QMap>
#include <QString>
#include <QVariantMap>

#include <memory>

class SystemToastNotify;

// Native toasts of the platform's notification manager, shown under the
// application user model id settled at init.
class SystemToastWinImpl : public ISystemNotifyToast
{
public:
    SystemToastWinImpl();
    ~SystemToastWinImpl() override;

    bool init(const QVariantMap& config) override;
    quint64 showToast(const QMap<int, QVariant>& request,
                      const std::weak_ptr<ISystemNotifyToastListener>& listener) override;
    bool updateToast(quint64 id, const QMap<int, QVariant>& request) override;
    bool hideToast(quint64 id) override;
    bool isToastExist(quint64 id) override;

    QString appUserModelId() const { return m_appUserModelId; }

    // The configured id, else the one the process set for itself.
    QString getUsefulAppUserModelId(const QString& configuredId);
    // Makes the Start-menu shortcut carry m_appUserModelId, or adopts the id it already carries.
    void updateLnk(const QVariantMap& config);

private:
    // Never set: a repeated init runs every step again, which also lets a
    // later init recover a manager an earlier one could not get.
    bool m_initialised = false;
    QString m_appUserModelId;
    QMap<quint64, std::shared_ptr<SystemToastNotify>> m_toastNotifies;
    Microsoft::WRL::ComPtr<ABI::Windows::UI::Notifications::IToastNotificationManagerStatics> m_notifyManager;
};
