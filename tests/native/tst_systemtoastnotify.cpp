// The toast object between the platform's event threads and the listener:
// what each event reports, on which thread, and what is left when parts of
// the chain are gone.
#include "systemtoastnotify.h"

#include "logcapture.h"
#include "nativetestsupport.h"
#include "recordinglistener.h"
#include "umxloggerlite.h"

#include <winsim/control.h>

#include <QtTest>

#include <QSemaphore>

using namespace nativetest;
using ABI::Windows::UI::Notifications::IToastNotification;
using ABI::Windows::UI::Notifications::IToastNotificationFactory;
using ABI::Windows::UI::Notifications::IToastNotificationManagerStatics;
using ABI::Windows::UI::Notifications::IToastNotifier;
using Calls = QVector<RecordingListener::Call>;

namespace {

const QString k_activatedHandler = QStringLiteral("SystemToastNotify::attachActivated::<lambda>::operator ()");
const QString k_dismissedHandler = QStringLiteral("SystemToastNotify::attachDismissed::<lambda>::operator ()");
const QString k_failedHandler = QStringLiteral("SystemToastNotify::attachFailed::<lambda>::operator ()");

// A notification made from a template and shown through the in-memory
// delivery, so that the platform can raise its events.
struct ShownNotification
{
    ComPtr<IToastNotification> notification;
    quint64 key = 0;
};

ComPtr<IToastNotification> makeNotification()
{
    ComPtr<IToastNotificationFactory> factory;
    getActivationFactory<IToastNotificationFactory>(RuntimeClass_Windows_UI_Notifications_ToastNotification, &factory);
    ComPtr<IToastNotification> notification;
    ComPtr<IXmlDocument> document = templateDocument(4);
    if (factory && document)
        factory->CreateToastNotification(document.Get(), &notification);
    return notification;
}

ShownNotification show(const ComPtr<IToastNotification>& notification)
{
    ComPtr<IToastNotificationManagerStatics> manager;
    getActivationFactory<IToastNotificationManagerStatics>(RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &manager);
    ComPtr<IToastNotifier> notifier;
    manager->CreateToastNotifierWithId(HstringWrapper(QStringLiteral("Orvex.Test"), false).get(), &notifier);
    notifier->Show(notification.Get());
    return {notification, winsim::control::shownToasts().last().key};
}

QList<ToastAction> actions(const QStringList& arguments)
{
    QList<ToastAction> list;
    for (const QString& argument : arguments)
        list.append({QStringLiteral("caption ") + argument, argument});
    return list;
}

// An attached toast object with its own listener, shown on the platform.
struct Fixture
{
    std::shared_ptr<RecordingListener> listener = std::make_shared<RecordingListener>();
    std::shared_ptr<SystemToastNotify> toast;
    ShownNotification shown;

    explicit Fixture(quint64 id, const QStringList& arguments = {})
    {
        toast = SystemToastNotify::create(id, listener);
        toast->setActions(actions(arguments));
        ComPtr<IToastNotification> notification = makeNotification();
        attached = toast->attach(notification.Get(), 5000);
        shown = show(notification);
    }
    bool attached = false;
};

bool settle()
{
    if (!winsim::control::waitForPlatformEvents())
        return false;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

} // namespace

class TestSystemToastNotify : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void activation_data();
    void activation();
    void dismissalReason_data();
    void dismissalReason();
    void failure_data();
    void failure();
    void detachEndsDelivery();
    void detachBeforeQueuedEventsArrive();
    void eventAfterDestructionIsOnlyLogged();
    void deadListenerHearsNothing();
    void failedSubscription_data();
    void failedSubscription();
    void lastReferenceOnPlatformThread();
    void stress();

private:
    int m_objects = 0;
    int m_strings = 0;
};

void TestSystemToastNotify::init()
{
    winsim::control::reset();
    m_objects = winsim::control::liveObjects();
    m_strings = winsim::control::liveStrings();
}

void TestSystemToastNotify::cleanup()
{
    QVERIFY(settle());
    winsim::control::reset();
    QCOMPARE(winsim::control::liveObjects(), m_objects);
    QCOMPARE(winsim::control::liveStrings(), m_strings);
    QCOMPARE(winsim::control::invalidStringReleases(), 0);
}

void TestSystemToastNotify::activation_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("index"); // -1: nobody hears it

    QTest::newRow("second action") << QStringList{"open", "later"} << "later" << 1;
    QTest::newRow("first of two equal") << QStringList{"same", "same"} << "same" << 0;
    QTest::newRow("no match") << QStringList{"open", "later"} << "elsewhere" << -1;
    QTest::newRow("body click") << QStringList{"open"} << "" << -1;
    QTest::newRow("body click, empty action") << QStringList{"open", ""} << "" << 1;
    QTest::newRow("case matters") << QStringList{"Open"} << "open" << -1;
    QTest::newRow("markup and unicode") << QStringList{"x", "a&b <c> \"ü\""} << "a&b <c> \"ü\"" << 1;
}

void TestSystemToastNotify::activation()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, arguments);
    QFETCH(int, index);
    LogCapture log;
    Fixture fixture(41, actions);
    QVERIFY(fixture.attached);
    QVERIFY(winsim::control::raiseActivated(fixture.shown.key, arguments));
    QVERIFY(settle());

    QCOMPARE(log.lines(), (QStringList{line(k_activatedHandler, QStringLiteral("call lambda string : %1").arg(arguments)),
                                       line(QStringLiteral("SystemToastNotify::onActivated"), QStringLiteral("action : %1").arg(arguments))}));
    const Calls calls = fixture.listener->calls();
    if (index < 0) {
        QCOMPARE(calls.size(), 0);
        return;
    }
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, RecordingListener::Activated);
    QCOMPARE(calls[0].id, quint64(41));
    QCOMPARE(calls[0].source, 1);
    QCOMPARE(calls[0].index, qint64(index));
    QCOMPARE(calls[0].action, arguments);
    // Raised on the platform's thread, heard on the one that owns the toast.
    QCOMPARE(calls[0].thread, QThread::currentThread());
}

void TestSystemToastNotify::dismissalReason_data()
{
    QTest::addColumn<int>("platformReason");
    QTest::addColumn<int>("reason");
    QTest::newRow("user") << 0 << 0;
    QTest::newRow("application") << 1 << 1;
    QTest::newRow("timed out") << 2 << 2;
    QTest::newRow("unknown 3") << 3 << 0;
    QTest::newRow("negative") << -1 << 0;
    QTest::newRow("large") << 0x7fffffff << 0;
}

void TestSystemToastNotify::dismissalReason()
{
    QFETCH(int, platformReason);
    QFETCH(int, reason);
    LogCapture log;
    Fixture fixture(7);
    QVERIFY(winsim::control::raiseDismissed(fixture.shown.key, platformReason));
    QVERIFY(settle());
    QCOMPARE(log.lines(), (QStringList{line(k_dismissedHandler, QStringLiteral("reason:%1").arg(reason)),
                                       line(QStringLiteral("SystemToastNotify::onDismissed"), QStringLiteral("reason : %1").arg(reason))}));
    const Calls calls = fixture.listener->calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, RecordingListener::Dismissed);
    QCOMPARE(calls[0].value, reason);
    QCOMPARE(calls[0].thread, QThread::currentThread());
}

void TestSystemToastNotify::failure_data()
{
    QTest::addColumn<qint32>("raised");
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<qint32>("reported");
    QTest::newRow("dropped") << qint32(0x803E0207) << false << qint32(0x803E0207);
    QTest::newRow("positive code") << qint32(1) << false << qint32(1);
    QTest::newRow("unreadable") << qint32(0x803E0207) << true << k_fail;
}

void TestSystemToastNotify::failure()
{
    QFETCH(qint32, raised);
    QFETCH(bool, unreadable);
    QFETCH(qint32, reported);
    LogCapture log;
    Fixture fixture(9);
    if (unreadable)
        winsim::control::failCall(QStringLiteral("IToastFailedEventArgs::get_ErrorCode"), k_invalidArg);
    QVERIFY(winsim::control::raiseFailed(fixture.shown.key, raised));
    QVERIFY(settle());
    QCOMPARE(log.lines(), (QStringList{line(k_failedHandler, QStringLiteral("error:%1").arg(reported)),
                                       line(QStringLiteral("SystemToastNotify::onFailed"), QStringLiteral("errorCode : %1").arg(reported))}));
    const Calls calls = fixture.listener->calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, RecordingListener::Failed);
    QCOMPARE(calls[0].value, reported);
}

void TestSystemToastNotify::detachEndsDelivery()
{
    Fixture fixture(12, {"open"});
    QVERIFY(fixture.toast->notification());
    fixture.toast->detach();
    QVERIFY(!fixture.toast->notification());
    Calls calls = fixture.listener->calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, RecordingListener::Dismissed);
    QCOMPARE(calls[0].id, quint64(12));
    QCOMPARE(calls[0].value, 0);

    LogCapture log;
    fixture.toast->detach();
    QVERIFY(winsim::control::raiseActivated(fixture.shown.key, "open"));
    QVERIFY(winsim::control::raiseDismissed(fixture.shown.key, 2));
    QVERIFY(winsim::control::raiseFailed(fixture.shown.key, k_fail));
    QVERIFY(settle());
    QCOMPARE(fixture.listener->count(), 1);
    QCOMPARE(log.lines(), QStringList()); // the handlers are gone
}

// Events the platform raised before detach but that reach the owning thread
// afterwards are not reported: the toast has already reported its end.
void TestSystemToastNotify::detachBeforeQueuedEventsArrive()
{
    Fixture fixture(13, {"open"});
    QVERIFY(winsim::control::raiseActivated(fixture.shown.key, "open"));
    QVERIFY(winsim::control::raiseDismissed(fixture.shown.key, 1));
    QVERIFY(winsim::control::waitForPlatformEvents());
    fixture.toast->detach(); // the two signals are still queued
    QVERIFY(settle());
    const Calls calls = fixture.listener->calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, RecordingListener::Dismissed);
    QCOMPARE(calls[0].value, 0);
}

void TestSystemToastNotify::eventAfterDestructionIsOnlyLogged()
{
    Fixture fixture(14, {"open"});
    QPointer<SystemToastNotify> watch(fixture.toast.get());
    fixture.toast.reset();
    QVERIFY(!watch); // the owner's thread let go: destroyed at once
    LogCapture log;
    QVERIFY(winsim::control::raiseActivated(fixture.shown.key, "open"));
    QVERIFY(winsim::control::raiseDismissed(fixture.shown.key, 0));
    QVERIFY(winsim::control::raiseFailed(fixture.shown.key, k_fail));
    QVERIFY(settle());
    QCOMPARE(log.lines(), (QStringList{line(k_activatedHandler, "data is null"), line(k_dismissedHandler, "data is null"),
                                       line(k_failedHandler, "data is null")}));
    QCOMPARE(fixture.listener->count(), 0);
}

void TestSystemToastNotify::deadListenerHearsNothing()
{
    Fixture fixture(15, {"open"});
    std::weak_ptr<RecordingListener> watch = fixture.listener;
    fixture.listener.reset();
    QVERIFY(watch.expired());
    LogCapture log;
    QVERIFY(winsim::control::raiseActivated(fixture.shown.key, "open"));
    QVERIFY(winsim::control::raiseDismissed(fixture.shown.key, 2));
    QVERIFY(winsim::control::raiseFailed(fixture.shown.key, 5));
    QVERIFY(settle());
    fixture.toast->detach();
    // Handlers and slots run on two threads: their lines interleave freely.
    QStringList lines = log.lines();
    lines.sort();
    QStringList expected{line(k_activatedHandler, "call lambda string : open"), line("SystemToastNotify::onActivated", "action : open"),
                         line(k_dismissedHandler, "reason:2"), line("SystemToastNotify::onDismissed", "reason : 2"),
                         line(k_failedHandler, "error:5"), line("SystemToastNotify::onFailed", "errorCode : 5")};
    expected.sort();
    QCOMPARE(lines, expected);
}

void TestSystemToastNotify::failedSubscription_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("where");
    QTest::newRow("activated") << "IToastNotification::add_Activated" << "attachActivated()";
    QTest::newRow("dismissed") << "IToastNotification::add_Dismissed" << "attachDismissed(expiration)";
    QTest::newRow("failed") << "IToastNotification::add_Failed" << "attachFailed()";
}

void TestSystemToastNotify::failedSubscription()
{
    QFETCH(QString, call);
    QFETCH(QString, where);
    auto listener = std::make_shared<RecordingListener>();
    std::shared_ptr<SystemToastNotify> toast = SystemToastNotify::create(3, listener);
    ComPtr<IToastNotification> notification = makeNotification();
    winsim::control::failCall(call, k_invalidArg);
    LogCapture log;
    QVERIFY(!toast->attach(notification.Get(), 0));
    QCOMPARE(log.lines(), QStringList{line(where, QStringLiteral("result = -2147024809"))});
    QVERIFY(!toast->attach(nullptr, 0));
    // An object not yet attached has nothing to subscribe.
    std::shared_ptr<SystemToastNotify> bare = SystemToastNotify::create(4, listener);
    QCOMPARE(qint32(bare->attachActivated()), k_fail);
    QCOMPARE(qint32(bare->attachDismissed(0)), k_fail);
    QCOMPARE(qint32(bare->attachFailed()), k_fail);
    bare->detach();
    QCOMPARE(listener->count(), 0);
}

// A handler holds the last reference when the owner lets go during the event:
// the object must still be destroyed on the thread that owns it.
void TestSystemToastNotify::lastReferenceOnPlatformThread()
{
    QSemaphore inHandler;
    QSemaphore released;
    UmxLoggerLite::setSink([&](const std::wstring&, const std::wstring& text) {
        if (winsim::control::isPlatformEventThread() && QString::fromStdWString(text).contains(QLatin1String("call lambda string"))) {
            inHandler.release();
            released.acquire();
        }
    });
    Fixture fixture(21, {"open"});
    QThread* destroyedOn = nullptr;
    connect(fixture.toast.get(), &QObject::destroyed, this, [&] { destroyedOn = QThread::currentThread(); }, Qt::DirectConnection);
    QVERIFY(winsim::control::raiseActivated(fixture.shown.key, "open"));
    QVERIFY(inHandler.tryAcquire(1, 5000));
    fixture.toast.reset();
    released.release();
    QVERIFY(winsim::control::waitForPlatformEvents());
    UmxLoggerLite::setSink({});
    QTRY_VERIFY(destroyedOn != nullptr);
    QCOMPARE(destroyedOn, QThread::currentThread());
    // The activation raised while it lived is still reported, once, before it goes.
    const Calls calls = fixture.listener->calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, RecordingListener::Activated);
    QCOMPARE(calls[0].thread, QThread::currentThread());
}

void TestSystemToastNotify::stress()
{
    constexpr int k_toasts = 300;
    struct Entry
    {
        std::unique_ptr<Fixture> fixture;
        bool keep;
    };
    std::vector<Entry> entries;
    for (int i = 0; i < k_toasts; ++i) {
        const QString argument = QStringLiteral("act-%1").arg(i);
        entries.push_back({std::make_unique<Fixture>(quint64(1000 + i), QStringList{"other", argument}), i % 4 == 0});
        QVERIFY(entries.back().fixture->attached);
    }
    // Toasts whose listener goes away are not watched: nobody is left to hear them.
    std::vector<std::shared_ptr<RecordingListener>> listeners;
    for (int i = 0; i < k_toasts; ++i)
        listeners.push_back(i % 4 < 2 ? entries[i].fixture->listener : nullptr);

    for (int i = 0; i < k_toasts; ++i) {
        Fixture& f = *entries[i].fixture;
        winsim::control::raiseActivated(f.shown.key, QStringLiteral("act-%1").arg(i));
        winsim::control::raiseDismissed(f.shown.key, i % 3);
        winsim::control::raiseFailed(f.shown.key, -i);
        if (!entries[i].keep) {
            // Let go while its events are in flight: object, listener or both.
            // 1: the object goes, 2: the listener goes, 3: both go.
            if (i % 4 != 2)
                f.toast.reset();
            if (i % 4 != 1)
                f.listener.reset();
        }
        if (i % 50 == 0)
            QCoreApplication::processEvents();
    }
    QVERIFY(settle());
    QVERIFY(settle());
    for (int i = 0; i < k_toasts; ++i) {
        if (!listeners[i])
            continue;
        const Calls calls = listeners[i]->calls();
        const bool keep = entries[i].keep;
        // Each raised event is reported at most once, and exactly once while everything lives.
        QVERIFY2(keep ? calls.size() == 3 : calls.size() <= 3, qPrintable(QString::number(i)));
        int activated = 0, dismissed = 0, failed = 0;
        for (const RecordingListener::Call& call : calls) {
            QCOMPARE(call.id, quint64(1000 + i));
            QCOMPARE(call.thread, QThread::currentThread());
            activated += call.kind == RecordingListener::Activated;
            dismissed += call.kind == RecordingListener::Dismissed;
            failed += call.kind == RecordingListener::Failed;
            if (call.kind == RecordingListener::Activated)
                QCOMPARE(call.index, qint64(1));
        }
        QVERIFY(activated <= 1 && dismissed <= 1 && failed <= 1);
    }
    entries.clear();
    listeners.clear();
}

QTEST_GUILESS_MAIN(TestSystemToastNotify)
#include "tst_systemtoastnotify.moc"
