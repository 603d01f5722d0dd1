#include "applicationtoastimpl.h"

#include "applicationtoastwidget.h"
#include "toastconfigkeys.h"
#include "toastdata.h"
#include "toastmodulecontext.h"
#include "toastskinresources.h"

#include "windowsapi.h"

#include <QTimer>

ApplicationToastImpl::ApplicationToastImpl()
    : QObject(nullptr)
{
}

ApplicationToastImpl::~ApplicationToastImpl()
{
    // Fading ones first; neither kind tells the listener anything.
    m_hidingWidgets.clear();
    m_toastWidgets.clear();
}

bool ApplicationToastImpl::init(const QVariantMap& config)
{
    registerDefaultRccSources(config.value(QStringLiteral("rccSources")).toStringList());
    return true;
}

quint64 ApplicationToastImpl::showToast(const QMap<int, QVariant>& request,
                                        const std::weak_ptr<ISystemNotifyToastListener>& listener)
{
    ToastData data;
    if (!data.parse(request))
        return 0;
    QSharedPointer<ApplicationToastWidget> popup(new ApplicationToastWidget);
    connect(popup.data(), &ApplicationToastWidget::notifyAction, this, &ApplicationToastImpl::onNotifyAction);
    connect(popup.data(), &ApplicationToastWidget::noitfyClose, this, &ApplicationToastImpl::onNotifyClose);
    const quint64 id = ToastModuleContext::instance()->nextToastId();
    m_toastWidgets.insert(id, popup);
    popup->initToast(id, listener);
    popup->showPopup(data);
    return id;
}

bool ApplicationToastImpl::updateToast(quint64 id, const QMap<int, QVariant>& request)
{
    ToastData data;
    if (!data.parse(request))
        return false;
    const QSharedPointer<ApplicationToastWidget> popup = m_toastWidgets.value(id);
    if (!popup)
        return false;
    return popup->updatePopup(data);
}

bool ApplicationToastImpl::hideToast(quint64 id)
{
    auto it = m_toastWidgets.find(id);
    if (it == m_toastWidgets.end() || !it.value())
        return false;
    const QSharedPointer<ApplicationToastWidget> popup = it.value();
    popup->startHide();
    m_toastWidgets.erase(it);
    connect(popup.data(), &ApplicationToastWidget::notifyHideAnimationFinish, this,
            &ApplicationToastImpl::onHideAnimationFinish);
    m_hidingWidgets.insert(id, popup);
    return true;
}

bool ApplicationToastImpl::isToastExist(quint64 id)
{
    return m_toastWidgets.contains(id);
}

ApplicationToastWidget* ApplicationToastImpl::popup(quint64 id) const
{
    if (const QSharedPointer<ApplicationToastWidget> shown = m_toastWidgets.value(id))
        return shown.data();
    return m_hidingWidgets.value(id).data();
}

void ApplicationToastImpl::onNotifyAction(quint64 id)
{
    static_cast<ISystemNotifyToast*>(this)->hideToast(id);
}

void ApplicationToastImpl::onNotifyClose(quint64 id)
{
    static_cast<ISystemNotifyToast*>(this)->hideToast(id);
}

void ApplicationToastImpl::onHideAnimationFinish(quint64 id)
{
    const QSharedPointer<ApplicationToastWidget> popup = m_hidingWidgets.value(id);
    if (!popup)
        return;
    // We are inside the finished signal of the popup's own fade-out, which the
    // popup owns: hide it now, silence it, and delete it from the next turn.
    // It stays ours meanwhile: a host that quits its loop in this very turn
    // deletes it with the service, where a queued functor owning it would
    // delete it in the application's teardown, which then waits on itself.
    popup->disconnect(this);
    popup->hide();
    QTimer::singleShot(0, this, [this, id] {
        m_hidingWidgets.remove(id);
        releaseMemoryWhenIdle();
    });
}

void ApplicationToastImpl::releaseMemoryWhenIdle()
{
    if (!m_toastWidgets.isEmpty() || !m_hidingWidgets.isEmpty())
        return;
    // Window surfaces and style data of the last popups leave the heap full of
    // free pages the allocator keeps; a host that shows a popup now and then
    // should not keep their memory. Nothing to do about a heap that refuses.
    HeapCompact(GetProcessHeap(), 0);
}
