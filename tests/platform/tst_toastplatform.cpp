// Guards events raised on the platform's own thread (any delivery back end) and Hide reported as application-hidden.
#include "winrttest.h"

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

// Handlers of the three events that write down what they saw; the tokens are not kept.
void subscribe(IToastNotification* notification, const std::shared_ptr<Seen>& seen)
{
    EventRegistrationToken token;
    notification->add_Activated(Callback<ITypedEventHandler<ToastNotification*, IInspectable*>>(
                                    [seen](IToastNotification*, IInspectable* args) -> HRESULT {
                                        ComPtr<IToastActivatedEventArgs> activation;
                                        HSTRING arguments = nullptr;
                                        if (args && SUCCEEDED(args->QueryInterface(IID_PPV_ARGS(&activation))))
                                            activation->get_Arguments(&arguments);
                                        seen->add(QStringLiteral("activated:") + take(arguments));
                                        return S_OK;
                                    }).Get(), &token);
    notification->add_Dismissed(Callback<ITypedEventHandler<ToastNotification*, ToastDismissedEventArgs*>>(
                                    [seen](IToastNotification*, IToastDismissedEventArgs* args) -> HRESULT {
                                        ToastDismissalReason reason = ToastDismissalReason_UserCanceled;
                                        args->get_Reason(&reason);
                                        seen->add(QStringLiteral("dismissed:%1").arg(int(reason)));
                                        return S_OK;
                                    }).Get(), &token);
    notification->add_Failed(Callback<ITypedEventHandler<ToastNotification*, ToastFailedEventArgs*>>(
                                 [seen](IToastNotification*, IToastFailedEventArgs* args) -> HRESULT {
                                     HRESULT code = S_OK;
                                     args->get_ErrorCode(&code);
                                     seen->add(QStringLiteral("failed:%1").arg(code));
                                     return S_OK;
                                 }).Get(), &token);
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

    void eventsArriveOnThePlatformThread_data();
    void eventsArriveOnThePlatformThread();
    void hideDismissesAsApplicationHidden();
    void otherBackEndsGetTheSameEvents();
};

void TestToastPlatform::eventsArriveOnThePlatformThread_data()
{
    QTest::addColumn<QString>("event");
    QTest::newRow("activated with arguments") << "activated:action=reply&id=7";
    QTest::newRow("activated by the body") << "activated:";
    QTest::newRow("failed") << QStringLiteral("failed:%1").arg(WPN_E_TOAST_NOTIFICATION_DROPPED);
    for (int reason : {0, 1, 2, 3, -1})
        QTest::addRow("dismissed %d", reason) << QStringLiteral("dismissed:%1").arg(reason);
}

void TestToastPlatform::eventsArriveOnThePlatformThread()
{
    QFETCH(QString, event);
    auto seen = std::make_shared<Seen>();
    ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
    subscribe(notification.Get(), seen);
    QCOMPARE(makeNotifier(QStringLiteral("App"))->Show(notification.Get()), S_OK);
    const quint64 key = lastKey();
    const QString value = event.section(QLatin1Char(':'), 1);
    if (event.startsWith(QLatin1String("activated")))
        QVERIFY(winsim::control::raiseActivated(key, value));
    else if (event.startsWith(QLatin1String("failed")))
        QVERIFY(winsim::control::raiseFailed(key, value.toInt()));
    else
        QVERIFY(winsim::control::raiseDismissed(key, value.toInt()));
    QVERIFY(!winsim::control::raiseActivated(key + 1000, QString()));
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCOMPARE(seen->take(), QStringList{event});
    QVERIFY(seen->allOnPlatformThread);
    QVERIFY(!seen->threads.contains(QThread::currentThreadId()));
    QCOMPARE(winsim::control::shownToasts().last().onScreen, event.startsWith(QLatin1String("activated")));
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
}

QTEST_GUILESS_MAIN(TestToastPlatform)
#include "tst_toastplatform.moc"
