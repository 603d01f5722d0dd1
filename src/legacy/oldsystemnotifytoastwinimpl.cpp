#include "oldsystemnotifytoastwinimpl.h"

#include "toastdata.h"

#include <QFileInfo>

#include <limits>

namespace {

constexpr int k_defaultBalloonMs = 10000;
// Balloons carry no ids of their own: everything lives under 0.
constexpr quint64 k_balloonId = 0;

} // namespace

OldSystemNotifyToastWinImpl::OldSystemNotifyToastWinImpl()
    : QObject(nullptr)
{
}

OldSystemNotifyToastWinImpl::~OldSystemNotifyToastWinImpl()
{
    m_toasts.clear();
}

bool OldSystemNotifyToastWinImpl::init(const QVariantMap& /*config*/)
{
    connect(&m_trayIcon, &QSystemTrayIcon::messageClicked, this, &OldSystemNotifyToastWinImpl::onMessageClicked);
    return true;
}

quint64 OldSystemNotifyToastWinImpl::showToast(const QMap<int, QVariant>& request,
                                               const std::weak_ptr<ISystemNotifyToastListener>& listener)
{
    if (!QSystemTrayIcon::supportsMessages())
        return 0;
    ToastData data;
    if (!data.parse(request))
        return 0;

    auto record = std::make_shared<OldToastData>();
    record->listener = listener;
    const QList<ToastAction> actions = data.actions();
    if (!actions.isEmpty())
        record->clickString = actions.first().text;

    const QString title = data.textFieldCount() >= 1 ? data.textField(0) : QString();
    const QString message = data.textFieldCount() >= 2 ? data.textField(1) : QString();
    // showMessage takes int milliseconds; a longer time would wrap negative,
    // which the platform reads as its own default or as no time-out at all.
    const int time = data.expiration() != 0
        ? int(qMin<quint32>(data.expiration(), quint32(std::numeric_limits<int>::max())))
        : k_defaultBalloonMs;

    // Only a regular file is read: a FIFO or a device would block the GUI thread.
    m_trayIcon.setIcon(QFileInfo(data.iconPath()).isFile() ? QIcon(data.iconPath()) : QIcon());
    m_trayIcon.setVisible(true);
    m_trayIcon.showMessage(title, message, QSystemTrayIcon::Information, time);

    m_toasts[k_balloonId] = record;
    return 0;
}

bool OldSystemNotifyToastWinImpl::updateToast(quint64 /*id*/, const QMap<int, QVariant>& /*request*/)
{
    return false;
}

bool OldSystemNotifyToastWinImpl::hideToast(quint64 /*id*/)
{
    m_trayIcon.setVisible(false);
    return true;
}

bool OldSystemNotifyToastWinImpl::isToastExist(quint64 id)
{
    return m_toasts.contains(id);
}

void OldSystemNotifyToastWinImpl::onMessageClicked()
{
    if (m_toasts.isEmpty())
        return;
    const quint64 id = m_toasts.lastKey();
    const std::shared_ptr<OldToastData> record = m_toasts.last();
    if (!record)
        return;
    const std::shared_ptr<ISystemNotifyToastListener> listener = record->listener.lock();
    if (!listener)
        return;
    listener->onToastActivated(id, 1, 0, record->clickString);
}
