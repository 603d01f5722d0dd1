// Public: the toast service a host obtains from createSystemNotifyToast.
#pragma once

#include <QMap>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class ISystemNotifyToastListener;

class ISystemNotifyToast
{
public:
    virtual ~ISystemNotifyToast() {}
    virtual bool init(const QVariantMap& config) = 0;
    // The new toast's id, 0 when no toast was started.
    virtual quint64 showToast(const QMap<int, QVariant>& request,
                              const std::weak_ptr<ISystemNotifyToastListener>& listener) = 0;
    virtual bool updateToast(quint64 id, const QMap<int, QVariant>& request) = 0;
    virtual bool hideToast(quint64 id) = 0;
    virtual bool isToastExist(quint64 id) = 0;
};

// Dismissal reasons reported through ISystemNotifyToastListener::onToastDismissed.
enum ToastDismissalReasonType {
    ToastDismissalUserCanceled = 0,
    ToastDismissalApplicationHidden = 1,
    ToastDismissalTimedOut = 2,
};
