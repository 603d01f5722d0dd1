// Toast manager, notifier, notifications and their events on the platform thread.
#include "winrttesthelpers.h"

#include <winsim/control.h>
#include <winsim/delivery.h>
#include <wrl/event.h>

#include <QMutex>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

using namespace winrttest;
using ABI::Windows::Foundation::ITypedEventHandler;
using Microsoft::WRL::Callback;

namespace {

// What the handlers saw, from whichever thread they ran on.
struct Seen
{
    QMutex mutex;
    QStringList events;
    QSet<Qt::HANDLE> threads;
    bool allOnPlatformThread = true;

    void add(const QString& event)
    {
        QMutexLocker lock(&mutex);
        events.append(event);
        threads.insert(QThread::currentThreadId());
        allOnPlatformThread = allOnPlatformThread && winsim::control::isPlatformEventThread();
    }
    QStringList take()
    {
        QMutexLocker lock(&mutex);
        return events;
    }
};

struct Subscription
{
    EventRegistrationToken activated = {};
    EventRegistrationToken dismissed = {};
    EventRegistrationToken failed = {};
};

Subscription subscribe(IToastNotification* notification, const std::shared_ptr<Seen>& seen, const QString& tag = QString())
{
    Subscription s;
    std::weak_ptr<Seen> weak = seen;
    auto activated = Callback<ITypedEventHandler<ToastNotification*, IInspectable*>>(
        [weak, tag](IToastNotification*, IInspectable* args) -> HRESULT {
            std::shared_ptr<Seen> target = weak.lock();
            if (!target)
                return S_OK;
            ComPtr<IToastActivatedEventArgs> activation;
            HSTRING arguments = nullptr;
            if (args && SUCCEEDED(args->QueryInterface(IID_PPV_ARGS(&activation))))
                activation->get_Arguments(&arguments);
            target->add(tag + QStringLiteral("activated:") + take(arguments));
            return S_OK;
        });
    auto dismissed = Callback<ITypedEventHandler<ToastNotification*, ToastDismissedEventArgs*>>(
        [weak, tag](IToastNotification*, IToastDismissedEventArgs* args) -> HRESULT {
            ToastDismissalReason reason = ToastDismissalReason_UserCanceled;
            args->get_Reason(&reason);
            if (std::shared_ptr<Seen> target = weak.lock())
                target->add(tag + QStringLiteral("dismissed:%1").arg(int(reason)));
            return S_OK;
        });
    auto failed = Callback<ITypedEventHandler<ToastNotification*, ToastFailedEventArgs*>>(
        [weak, tag](IToastNotification*, IToastFailedEventArgs* args) -> HRESULT {
            HRESULT code = S_OK;
            args->get_ErrorCode(&code);
            if (std::shared_ptr<Seen> target = weak.lock())
                target->add(tag + QStringLiteral("failed:%1").arg(code));
            return S_OK;
        });
    notification->add_Activated(activated.Get(), &s.activated);
    notification->add_Dismissed(dismissed.Get(), &s.dismissed);
    notification->add_Failed(failed.Get(), &s.failed);
    return s;
}

ComPtr<IToastNotification> makeNotification(const ComPtr<IXmlDocument>& content)
{
    ComPtr<IToastNotificationFactory> factory;
    getActivationFactory<IToastNotificationFactory>(RuntimeClass_Windows_UI_Notifications_ToastNotification, &factory);
    ComPtr<IToastNotification> notification;
    if (factory)
        factory->CreateToastNotification(content.Get(), &notification);
    return notification;
}

ComPtr<IToastNotifier> makeNotifier(const QString& id)
{
    ComPtr<IToastNotifier> notifier;
    manager()->CreateToastNotifierWithId(HstringWrapper(id, false).get(), &notifier);
    return notifier;
}

quint64 lastKey()
{
    const QVector<winsim::control::ShownToast> shown = winsim::control::shownToasts();
    return shown.isEmpty() ? 0 : shown.last().key;
}

// A back end that records what it is asked and answers from the caller's thread.
class RecordingBackend : public winsim::DeliveryBackend
{
public:
    void show(const winsim::ToastDelivery& toast, const std::shared_ptr<winsim::ToastEventSink>& sink) override
    {
        shown.append(toast);
        sinks.append(sink);
    }
    void hide(quint64 key) override { hidden.append(key); }

    QVector<winsim::ToastDelivery> shown;
    QVector<std::shared_ptr<winsim::ToastEventSink>> sinks;
    QVector<quint64> hidden;
};

} // namespace

class TestToastPlatform : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        winsim::control::reset();
        // A pinned version keeps toasts in memory also on a desktop with a notification server.
        winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    }
    void cleanup()
    {
        QVERIFY(winsim::control::waitForPlatformEvents());
        winsim::control::unpinOsVersion();
    }

    void notifierNeedsAnApplicationId_data();
    void notifierNeedsAnApplicationId();
    void templateTypeOutOfRange_data();
    void templateTypeOutOfRange();
    void factoryRefusesMissingContent();
    void showHandsTheDocumentToDelivery();
    void eventsArriveOnThePlatformThread();
    void dismissalReasonsPassThrough_data();
    void dismissalReasonsPassThrough();
    void removingByTokenStopsDelivery();
    void hideDismissesAsApplicationHidden();
    void eventsReachHandlersAfterCallerReleasedEverything();
    void handlerOutlivingItsOwnerIsSafe();
    void handlerMayRemoveItselfWhileCalled();
    void otherBackEndsGetTheSameEvents();
    void failedShowDeliversNothing();
};

void TestToastPlatform::notifierNeedsAnApplicationId_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<HRESULT>("result");
    QTest::newRow("empty") << QString() << E_INVALIDARG;
    QTest::newRow("set") << QStringLiteral("Vendor.Suite") << S_OK;
    QTest::newRow("unusual characters") << QStringLiteral("Vendor Suite ✓!") << S_OK;
}

void TestToastPlatform::notifierNeedsAnApplicationId()
{
    QFETCH(QString, id);
    QFETCH(HRESULT, result);
    ComPtr<IToastNotifier> notifier;
    QCOMPARE(manager()->CreateToastNotifierWithId(HstringWrapper(id, false).get(), &notifier), result);
    QCOMPARE(bool(notifier), result == S_OK);
    // Without an id of its own a desktop process gets no notifier.
    ComPtr<IToastNotifier> unnamed;
    QVERIFY(FAILED(manager()->CreateToastNotifier(&unnamed)));
    QVERIFY(!unnamed);
}

void TestToastPlatform::templateTypeOutOfRange_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("below") << -1;
    QTest::newRow("above") << 8;
    QTest::newRow("far above") << 1000;
}

void TestToastPlatform::templateTypeOutOfRange()
{
    QFETCH(int, type);
    ComPtr<IXmlDocument> document;
    QCOMPARE(manager()->GetTemplateContent(static_cast<ToastTemplateType>(type), &document), E_INVALIDARG);
    QVERIFY(!document);
}

void TestToastPlatform::factoryRefusesMissingContent()
{
    ComPtr<IToastNotificationFactory> factory;
    QCOMPARE(getActivationFactory<IToastNotificationFactory>(RuntimeClass_Windows_UI_Notifications_ToastNotification, &factory), S_OK);
    ComPtr<IToastNotification> notification;
    QCOMPARE(factory->CreateToastNotification(nullptr, &notification), E_INVALIDARG);
    QVERIFY(!notification);
    ComPtr<IXmlDocument> content = templateDocument(4);
    QCOMPARE(factory->CreateToastNotification(content.Get(), &notification), S_OK);
    ComPtr<IXmlDocument> back;
    QCOMPARE(notification->get_Content(&back), S_OK);
    QCOMPARE(back.Get(), content.Get());
}

void TestToastPlatform::showHandsTheDocumentToDelivery()
{
    ComPtr<IXmlDocument> content = templateDocument(5);
    QCOMPARE(appendText(content, item(content, QStringLiteral("text"), 0), QStringLiteral("Saved & synced")), S_OK);
    ComPtr<IToastNotification> notification = makeNotification(content);
    QCOMPARE(makeNotifier(QStringLiteral("Vendor.Suite"))->Show(notification.Get()), S_OK);
    const QVector<winsim::control::ShownToast> shown = winsim::control::shownToasts();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().appUserModelId, QStringLiteral("Vendor.Suite"));
    QCOMPARE(shown.first().xml, QStringLiteral("<toast><visual><binding template=\"ToastText02\"><text id=\"1\">Saved &amp; synced</text>"
                                               "<text id=\"2\"></text></binding></visual></toast>"));
    QVERIFY(shown.first().onScreen);
    // Showing it again is a second toast.
    QCOMPARE(makeNotifier(QStringLiteral("Vendor.Suite"))->Show(notification.Get()), S_OK);
    QCOMPARE(winsim::control::shownToasts().size(), 2);
    QVERIFY(winsim::control::shownToasts().last().key != shown.first().key);
}

void TestToastPlatform::eventsArriveOnThePlatformThread()
{
    auto seen = std::make_shared<Seen>();
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
    subscribe(notification.Get(), seen);
    QCOMPARE(makeNotifier(QStringLiteral("App"))->Show(notification.Get()), S_OK);
    const quint64 key = lastKey();
    QVERIFY(winsim::control::raiseActivated(key, QStringLiteral("action=reply&id=7")));
    QVERIFY(winsim::control::raiseFailed(key, WPN_E_TOAST_NOTIFICATION_DROPPED));
    QVERIFY(winsim::control::raiseDismissed(key, 2));
    QVERIFY(!winsim::control::raiseActivated(key + 1000, QString()));
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(seen->take(), (QStringList{QStringLiteral("activated:action=reply&id=7"),
                                        QStringLiteral("failed:%1").arg(WPN_E_TOAST_NOTIFICATION_DROPPED),
                                        QStringLiteral("dismissed:2")}));
    QVERIFY(seen->allOnPlatformThread);
    QVERIFY(!seen->threads.contains(QThread::currentThreadId()));
    QVERIFY(!winsim::control::isPlatformEventThread());
}

void TestToastPlatform::dismissalReasonsPassThrough_data()
{
    QTest::addColumn<int>("reason");
    QTest::newRow("user canceled") << 0;
    QTest::newRow("application hidden") << 1;
    QTest::newRow("timed out") << 2;
    QTest::newRow("unknown 3") << 3;
    QTest::newRow("negative") << -1;
    QTest::newRow("large") << 1000;
}

void TestToastPlatform::dismissalReasonsPassThrough()
{
    QFETCH(int, reason);
    auto seen = std::make_shared<Seen>();
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
    subscribe(notification.Get(), seen);
    makeNotifier(QStringLiteral("App"))->Show(notification.Get());
    QVERIFY(winsim::control::raiseDismissed(lastKey(), reason));
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(seen->take(), QStringList{QStringLiteral("dismissed:%1").arg(reason)});
    QVERIFY(!winsim::control::shownToasts().last().onScreen);
}

void TestToastPlatform::removingByTokenStopsDelivery()
{
    auto seen = std::make_shared<Seen>();
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
    const Subscription first = subscribe(notification.Get(), seen, QStringLiteral("1:"));
    subscribe(notification.Get(), seen, QStringLiteral("2:"));
    QVERIFY(first.activated.value != first.dismissed.value);
    makeNotifier(QStringLiteral("App"))->Show(notification.Get());
    QCOMPARE(notification->remove_Activated(first.activated), S_OK);
    QCOMPARE(notification->remove_Failed(first.failed), S_OK);
    QCOMPARE(notification->remove_Failed(first.failed), S_OK); // a second removal is harmless
    QCOMPARE(notification->remove_Dismissed(EventRegistrationToken{987654321}), S_OK);
    winsim::control::raiseActivated(lastKey(), QStringLiteral("a"));
    winsim::control::raiseFailed(lastKey(), E_FAIL);
    winsim::control::raiseDismissed(lastKey(), 0);
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(seen->take(), (QStringList{QStringLiteral("2:activated:a"), QStringLiteral("2:failed:%1").arg(E_FAIL),
                                        QStringLiteral("1:dismissed:0"), QStringLiteral("2:dismissed:0")}));
}

void TestToastPlatform::hideDismissesAsApplicationHidden()
{
    auto seen = std::make_shared<Seen>();
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
    subscribe(notification.Get(), seen);
    ComPtr<IToastNotifier> notifier = makeNotifier(QStringLiteral("App"));
    // Hiding a toast never shown does nothing.
    QCOMPARE(notifier->Hide(notification.Get()), S_OK);
    QCOMPARE(notifier->Show(notification.Get()), S_OK);
    QCOMPARE(notifier->Hide(notification.Get()), S_OK);
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(seen->take(), QStringList{QStringLiteral("dismissed:1")});
    QVERIFY(!winsim::control::shownToasts().last().onScreen);
    QCOMPARE(notifier->Hide(nullptr), E_INVALIDARG);
}

void TestToastPlatform::eventsReachHandlersAfterCallerReleasedEverything()
{
    const int before = winsim::control::liveObjects();
    auto seen = std::make_shared<Seen>();
    {
        ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
        subscribe(notification.Get(), seen);
        makeNotifier(QStringLiteral("App"))->Show(notification.Get());
    }
    // The toast is still on screen: the platform keeps the notification and its handlers.
    QVERIFY(winsim::control::raiseActivated(lastKey(), QStringLiteral("late")));
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(seen->take(), QStringList{QStringLiteral("activated:late")});
    winsim::control::clearShownToasts();
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(winsim::control::liveObjects(), before);
}

void TestToastPlatform::handlerOutlivingItsOwnerIsSafe()
{
    auto owner = std::make_shared<Seen>();
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
    subscribe(notification.Get(), owner);
    makeNotifier(QStringLiteral("App"))->Show(notification.Get());
    std::weak_ptr<Seen> watch = owner;
    owner.reset();
    QVERIFY(watch.expired());
    // The handlers find their owner gone and return quietly.
    QVERIFY(winsim::control::raiseActivated(lastKey(), QStringLiteral("x")));
    QVERIFY(winsim::control::raiseDismissed(lastKey(), 0));
    QVERIFY(winsim::control::waitForPlatformEvents());
}

void TestToastPlatform::handlerMayRemoveItselfWhileCalled()
{
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
    auto token = std::make_shared<EventRegistrationToken>();
    auto calls = std::make_shared<std::atomic<int>>(0);
    auto handler = Callback<ITypedEventHandler<ToastNotification*, IInspectable*>>(
        [token, calls](IToastNotification* sender, IInspectable*) -> HRESULT {
            ++*calls;
            return sender->remove_Activated(*token);
        });
    QCOMPARE(notification->add_Activated(handler.Get(), token.get()), S_OK);
    handler.Reset(); // the notification holds the only reference now
    makeNotifier(QStringLiteral("App"))->Show(notification.Get());
    winsim::control::raiseActivated(lastKey(), QString());
    winsim::control::raiseActivated(lastKey(), QString());
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(calls->load(), 1);
}

void TestToastPlatform::otherBackEndsGetTheSameEvents()
{
    auto backend = std::make_shared<RecordingBackend>();
    winsim::control::setDeliveryBackend(backend);
    auto seen = std::make_shared<Seen>();
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(0));
    subscribe(notification.Get(), seen);
    ComPtr<IToastNotifier> notifier = makeNotifier(QStringLiteral("Vendor.Suite"));
    QCOMPARE(notifier->Show(notification.Get()), S_OK);
    QCOMPARE(backend->shown.size(), 1);
    QCOMPARE(backend->shown.first().appUserModelId, QStringLiteral("Vendor.Suite"));
    QVERIFY(backend->shown.first().xml.startsWith(QStringLiteral("<toast><visual><binding template=\"ToastImageAndText01\">")));
    QVERIFY(winsim::control::shownToasts().isEmpty());
    // The back end reports from this thread; handlers still run on the platform's.
    backend->sinks.first()->activated(QStringLiteral("from backend"));
    backend->sinks.first()->failed(E_ABORT);
    QCOMPARE(notifier->Hide(notification.Get()), S_OK);
    QCOMPARE(backend->hidden, QVector<quint64>{backend->shown.first().key});
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(seen->take(), (QStringList{QStringLiteral("activated:from backend"), QStringLiteral("failed:%1").arg(E_ABORT)}));
    QVERIFY(seen->allOnPlatformThread);
    winsim::control::setDeliveryBackend(nullptr);
    QVERIFY(std::dynamic_pointer_cast<RecordingBackend>(winsim::control::deliveryBackend()) == nullptr);
}

void TestToastPlatform::failedShowDeliversNothing()
{
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
    ComPtr<IToastNotifier> notifier = makeNotifier(QStringLiteral("App"));
    winsim::control::failCall(QStringLiteral("IToastNotifier::Show"), WPN_E_PLATFORM_UNAVAILABLE);
    QCOMPARE(notifier->Show(notification.Get()), WPN_E_PLATFORM_UNAVAILABLE);
    QVERIFY(winsim::control::shownToasts().isEmpty());
    QCOMPARE(notifier->Show(nullptr), E_INVALIDARG);
    winsim::control::nullResultOnCall(QStringLiteral("IToastNotificationManagerStatics::CreateToastNotifierWithId"));
    ComPtr<IToastNotifier> none;
    QCOMPARE(manager()->CreateToastNotifierWithId(HstringWrapper(QStringLiteral("App"), false).get(), &none), S_OK);
    QVERIFY(!none);
}

QTEST_GUILESS_MAIN(TestToastPlatform)
#include "tst_toastplatform.moc"
