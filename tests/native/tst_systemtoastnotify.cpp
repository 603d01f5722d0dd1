// Guards what a host hears of native toast events: index, reason, error code, the threads, and nothing after hide or death.
#include "systemtoastnotify.h"

#include "logcapture.h"
#include "recordinglistener.h"
#include "umxloggerlite.h"
#include "winrttest.h"

#include <winsim/control.h>

#include <QtTest>

#include <QSemaphore>

#include <new>

using namespace winrttest;

namespace {

const QString k_activatedHandler = QStringLiteral("SystemToastNotify::attachActivated::<lambda>::operator ()");
const QString k_dismissedHandler = QStringLiteral("SystemToastNotify::attachDismissed::<lambda>::operator ()");
const QString k_failedHandler = QStringLiteral("SystemToastNotify::attachFailed::<lambda>::operator ()");

// An attached toast object with its own listener, shown through the in-memory delivery.
struct Fixture
{
    std::shared_ptr<RecordingListener> listener = std::make_shared<RecordingListener>();
    std::shared_ptr<SystemToastNotify> toast;
    quint64 key = 0;
    bool attached = false;

    explicit Fixture(quint64 id, const QStringList& arguments = {})
    {
        toast = SystemToastNotify::create(id, listener);
        QList<ToastAction> actions;
        for (const QString& argument : arguments)
            actions.append({QStringLiteral("caption ") + argument, argument});
        toast->setActions(actions);
        ComPtr<IToastNotification> notification = makeNotification(templateDocument(4));
        attached = toast->attach(notification.Get(), 5000);
        makeNotifier(QStringLiteral("Orvex.Test"))->Show(notification.Get());
        const auto shown = winsim::control::shownToasts(); // empty when another back end delivers
        key = shown.isEmpty() ? 0 : shown.last().key;
    }

    // Raises one event: "activated:ARGS", "dismissed:REASON" or "failed:CODE".
    bool raise(const QString& event) const
    {
        const QString kind = event.section(QLatin1Char(':'), 0, 0);
        const QString value = event.section(QLatin1Char(':'), 1);
        if (kind == QLatin1String("activated"))
            return winsim::control::raiseActivated(key, value);
        if (kind == QLatin1String("dismissed"))
            return winsim::control::raiseDismissed(key, value.toInt());
        return winsim::control::raiseFailed(key, value.toInt());
    }
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
    void events_data();
    void events();
    void detachEndsDelivery();
    void hiddenByThePlatform();
    void partsGone_data();
    void partsGone();
    void lastReferenceOnPlatformThread();
    void handlerThrows_data();
    void handlerThrows();
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

void TestSystemToastNotify::events_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("unreadable"); // the failure's code cannot be read
    QTest::addColumn<QStringList>("heard");
    QTest::addColumn<QStringList>("lines");

    const QStringList two{"open", "later"};
    auto activation = [](const QString& arguments) {
        return QStringList{line(k_activatedHandler, "call lambda string : " + arguments),
                           line("SystemToastNotify::onActivated", "action : " + arguments)};
    };
    QTest::newRow("second action") << two << "activated:later" << false
                                   << QStringList{"activated 1 1 later"} << activation("later");
    QTest::newRow("first of two equal") << QStringList{"same", "same"} << "activated:same" << false
                                        << QStringList{"activated 1 0 same"} << activation("same");
    QTest::newRow("no match") << two << "activated:elsewhere" << false << QStringList() << activation("elsewhere");
    QTest::newRow("body click") << two << "activated:" << false << QStringList() << activation("");
    QTest::newRow("case matters") << QStringList{"Open"} << "activated:open" << false << QStringList() << activation("open");
    QTest::newRow("markup and unicode") << QStringList{"x", "a&b <c> \"ü\""} << "activated:a&b <c> \"ü\"" << false
                                        << QStringList{"activated 1 1 a&b <c> \"ü\""} << activation("a&b <c> \"ü\"");

    auto dismissal = [](int reason) {
        return QStringList{line(k_dismissedHandler, QStringLiteral("reason:%1").arg(reason)),
                           line("SystemToastNotify::onDismissed", QStringLiteral("reason : %1").arg(reason))};
    };
    const int reasons[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {-1, 0}, {0x7fffffff, 0}};
    for (const auto& r : reasons)
        QTest::addRow("dismissal reason %d", r[0]) << two << QStringLiteral("dismissed:%1").arg(r[0]) << false
                                                   << QStringList{QStringLiteral("dismissed %1").arg(r[1])} << dismissal(r[1]);

    auto failure = [](qint32 code) {
        return QStringList{line(k_failedHandler, QStringLiteral("error:%1").arg(code)),
                           line("SystemToastNotify::onFailed", QStringLiteral("errorCode : %1").arg(code))};
    };
    const qint32 dropped = qint32(0x803E0207);
    QTest::newRow("failure dropped") << two << QStringLiteral("failed:%1").arg(dropped) << false
                                     << QStringList{QStringLiteral("failed %1").arg(dropped)} << failure(dropped);
    QTest::newRow("failure, positive code") << two << "failed:1" << false << QStringList{"failed 1"} << failure(1);
    QTest::newRow("failure unreadable") << two << QStringLiteral("failed:%1").arg(dropped) << true
                                        << QStringList{QStringLiteral("failed %1").arg(k_fail)} << failure(k_fail);
}

// Raised on the platform's thread, heard once on the thread that owns the toast.
void TestSystemToastNotify::events()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, event);
    QFETCH(bool, unreadable);
    QFETCH(QStringList, heard);
    QFETCH(QStringList, lines);
    LogCapture log;
    Fixture fixture(41, actions);
    QVERIFY(fixture.attached);
    if (unreadable)
        winsim::control::failCall(QStringLiteral("IToastFailedEventArgs::get_ErrorCode"), k_invalidArg);
    QVERIFY(fixture.raise(event));
    QVERIFY(settle());
    QCOMPARE(fixture.listener->heard(41), heard);
    QCOMPARE(log.lines(), lines);
    QCOMPARE(log.platformLines(), lines.mid(0, 1)); // the handler's; the slot's comes on this thread
}

void TestSystemToastNotify::detachEndsDelivery()
{
    Fixture fixture(12, {"open"});
    // Raised before detach, still queued to this thread when it happens.
    QVERIFY(fixture.raise("activated:open"));
    QVERIFY(fixture.raise("dismissed:1"));
    QVERIFY(winsim::control::waitForPlatformEvents());
    fixture.toast->detach();
    QVERIFY(!fixture.toast->notification());
    QVERIFY(settle());
    QCOMPARE(fixture.listener->heard(12), QStringList{"dismissed 0"});

    LogCapture log;
    fixture.toast->detach();
    QVERIFY(fixture.raise("activated:open"));
    QVERIFY(fixture.raise("dismissed:2"));
    QVERIFY(fixture.raise(QStringLiteral("failed:%1").arg(k_fail)));
    QVERIFY(settle());
    QCOMPARE(fixture.listener->count(), 1);
    QCOMPARE(log.lines(), QStringList()); // the handlers are gone
}

// What the platform ends by itself (here: its notifier hides the toast) is reported as application-hidden.
void TestSystemToastNotify::hiddenByThePlatform()
{
    Fixture fixture(31, {"open"});
    QCOMPARE(makeNotifier(QStringLiteral("Orvex.Test"))->Hide(fixture.toast->notification().Get()), S_OK);
    QVERIFY(settle());
    QCOMPARE(fixture.listener->heard(31), QStringList{"dismissed 1"});
    QVERIFY(!winsim::control::shownToasts().last().onScreen);
}

void TestSystemToastNotify::partsGone_data()
{
    QTest::addColumn<bool>("toastGone");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("toast object destroyed: handlers only log")
        << true << QStringList{line(k_activatedHandler, "data is null"), line(k_dismissedHandler, "data is null"),
                               line(k_failedHandler, "data is null")};
    QTest::newRow("listener gone: nobody hears, lines as usual")
        << false << QStringList{line(k_activatedHandler, "call lambda string : open"), line("SystemToastNotify::onActivated", "action : open"),
                                line(k_dismissedHandler, "reason:2"), line("SystemToastNotify::onDismissed", "reason : 2"),
                                line(k_failedHandler, "error:5"), line("SystemToastNotify::onFailed", "errorCode : 5")};
}

void TestSystemToastNotify::partsGone()
{
    QFETCH(bool, toastGone);
    QFETCH(QStringList, lines);
    Fixture fixture(14, {"open"});
    std::shared_ptr<RecordingListener> listener = fixture.listener;
    QPointer<SystemToastNotify> watch(fixture.toast.get());
    if (toastGone) {
        fixture.toast.reset();
        QVERIFY(!watch); // the owner's thread let go: destroyed at once
    } else {
        fixture.listener.reset();
        listener.reset();
    }
    LogCapture log;
    QVERIFY(fixture.raise("activated:open"));
    QVERIFY(fixture.raise("dismissed:2"));
    QVERIFY(fixture.raise("failed:5"));
    QVERIFY(settle());
    if (fixture.toast)
        fixture.toast->detach();
    // Handlers and slots run on two threads: their lines interleave freely.
    QStringList got = log.lines();
    got.sort();
    lines.sort();
    QCOMPARE(got, lines);
    if (listener)
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
    QVERIFY(fixture.raise("activated:open"));
    QVERIFY(inHandler.tryAcquire(1, 5000));
    fixture.toast.reset();
    released.release();
    QVERIFY(winsim::control::waitForPlatformEvents());
    UmxLoggerLite::setSink({});
    QTRY_VERIFY(destroyedOn != nullptr);
    QCOMPARE(destroyedOn, QThread::currentThread());
    // The activation raised while it lived is still reported, once, before it goes.
    QCOMPARE(fixture.listener->heard(21), QStringList{"activated 1 0 open"});
}

void TestSystemToastNotify::handlerThrows_data()
{
    QTest::addColumn<QString>("event");
    QTest::newRow("activated") << "activated:open";
    QTest::newRow("dismissed") << "dismissed:2";
    QTest::newRow("failed") << "failed:1";
}

// A handler that throws (here the host's log, as out of memory would) lets
// nothing reach the platform: the event is lost, the process and the toast live on.
void TestSystemToastNotify::handlerThrows()
{
    QFETCH(QString, event);
    UmxLoggerLite::setSink([](const std::wstring&, const std::wstring&) {
        if (winsim::control::isPlatformEventThread())
            throw std::bad_alloc();
    });
    Fixture fixture(51, {"open"});
    QVERIFY(fixture.raise(event));
    QVERIFY(winsim::control::waitForPlatformEvents());
    UmxLoggerLite::setSink({});
    QVERIFY(fixture.raise("activated:open"));
    QVERIFY(settle());
    QCOMPARE(fixture.listener->heard(51), QStringList{"activated 1 0 open"});
}

void TestSystemToastNotify::stress()
{
    constexpr int k_toasts = 300;
    std::vector<std::unique_ptr<Fixture>> fixtures;
    std::vector<std::shared_ptr<RecordingListener>> watched; // null: nobody is left to hear that toast
    for (int i = 0; i < k_toasts; ++i) {
        fixtures.push_back(std::make_unique<Fixture>(quint64(1000 + i), QStringList{"other", QStringLiteral("act-%1").arg(i)}));
        QVERIFY(fixtures.back()->attached);
        watched.push_back(i % 4 < 2 ? fixtures.back()->listener : nullptr);
    }
    for (int i = 0; i < k_toasts; ++i) {
        Fixture& f = *fixtures[i];
        f.raise(QStringLiteral("activated:act-%1").arg(i));
        f.raise(QStringLiteral("dismissed:%1").arg(i % 3));
        f.raise(QStringLiteral("failed:%1").arg(-i));
        // Let go while its events are in flight: 1 the object, 2 the listener, 3 both; 0 keeps all.
        if (i % 4 == 1 || i % 4 == 3)
            f.toast.reset();
        if (i % 4 == 2 || i % 4 == 3)
            f.listener.reset();
        if (i % 50 == 0)
            QCoreApplication::processEvents();
    }
    QVERIFY(settle());
    QVERIFY(settle());
    for (int i = 0; i < k_toasts; ++i) {
        if (!watched[i])
            continue;
        const QStringList heard = watched[i]->heard(quint64(1000 + i));
        const QStringList all{QStringLiteral("activated 1 1 act-%1").arg(i), QStringLiteral("dismissed %1").arg(i % 3),
                              QStringLiteral("failed %1").arg(-i)};
        // Everything once while all lives; otherwise at most once each, never anything else.
        if (i % 4 == 0)
            QCOMPARE(heard, all);
        for (const QString& call : heard)
            QVERIFY2(all.contains(call) && heard.count(call) == 1, qPrintable(heard.join('\n')));
    }
}

QTEST_GUILESS_MAIN(TestSystemToastNotify)
#include "tst_systemtoastnotify.moc"
