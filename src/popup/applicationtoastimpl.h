#pragma once

#include "isystemnotifytoast.h"

#include <QMap>
#include <QObject>
#include <QSharedPointer>

class ApplicationToastWidget;

// Toasts drawn by the module: one popup per request, kept alive while it is
// on screen and while it fades out.
class ApplicationToastImpl : public QObject, public ISystemNotifyToast
{
    Q_OBJECT
public:
    ApplicationToastImpl();
    ~ApplicationToastImpl() override;

    bool init(const QVariantMap& config) override;
    quint64 showToast(const QMap<int, QVariant>& request,
                      const std::weak_ptr<ISystemNotifyToastListener>& listener) override;
    bool updateToast(quint64 id, const QMap<int, QVariant>& request) override;
    bool hideToast(quint64 id) override;
    bool isToastExist(quint64 id) override;

    // The popup on screen or fading out under id; null when there is none.
    ApplicationToastWidget* popup(quint64 id) const;
    int hidingCount() const { return m_hidingWidgets.size(); }

protected slots:
    void onNotifyAction(quint64 id);
    void onNotifyClose(quint64 id);
    void onHideAnimationFinish(quint64 id);

private:
    // Gives the heap's free pages back once no popup is left.
    void releaseMemoryWhenIdle();

    QMap<quint64, QSharedPointer<ApplicationToastWidget>> m_toastWidgets;
    QMap<quint64, QSharedPointer<ApplicationToastWidget>> m_hidingWidgets;
};
