// A session bus with no notification server on it, seen from a host: the module
// says so through the version seam, and native toasts sent anyway fail at once
// instead of hanging the GUI thread.
#include "freedesktopbackend.h"

#include "isystemnotifytoast.h"
#include "modulelibrary.h"
#include "recordinglistener.h"

#include <winsim/control.h>

#include <QElapsedTimer>
#include <QtTest>

class DesktopNoServerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void notANativeToastDesktop();
    void toastsFailAtOnce_data();
    void toastsFailAtOnce();
};

void DesktopNoServerTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("WITH_DESKTOP_DIR"))
        QSKIP("needs a private session bus: run it under scripts/with-desktop.sh --bus-only");
}

void DesktopNoServerTest::cleanup()
{
    winsim::control::setDeliveryBackend(nullptr);
    winsim::control::unpinOsVersion();
}

void DesktopNoServerTest::notANativeToastDesktop()
{
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    QVERIFY(winsim::control::osVersion().isNull());
    QVERIFY(!module.isSupported());
}

void DesktopNoServerTest::toastsFailAtOnce_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("actions");

    QTest::newRow("one plain toast") << 1 << 0;
    QTest::newRow("one toast with two actions") << 1 << 2;
    QTest::newRow("forty in a row") << 40 << 2;
}

void DesktopNoServerTest::toastsFailAtOnce()
{
    QFETCH(int, count);
    QFETCH(int, actions);

    // Pinned, the facade picks the native service; the desktop's back end is
    // installed by hand since a pinned platform keeps the in-memory one.
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    winsim::control::setDeliveryBackend(std::make_shared<winsim::FreedesktopBackend>());
    ModuleLibrary module;
    QVERIFY(module.isLoaded());
    QVERIFY(module.isSupported());
    ISystemNotifyToast* service = module.create(false);
    QVERIFY(service);
    QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Vantor.Office.Lonely")}}));

    QStringList buttons;
    for (int i = 0; i < actions; ++i)
        buttons.append(QStringLiteral("{\"text\":\"Button %1\",\"action\":\"b%1\"}").arg(i));
    QVector<std::shared_ptr<RecordingListener>> listeners;
    QVector<quint64> ids;
    qint64 slowestNs = 0;
    for (int i = 0; i < count; ++i) {
        listeners.append(std::make_shared<RecordingListener>());
        QElapsedTimer clock;
        clock.start();
        ids.append(service->showToast({{0, 1}, {5, QStringList{QStringLiteral("Nobody %1").arg(i), "listens"}}, {10, buttons}},
                                      listeners.last()));
        slowestNs = qMax(slowestNs, clock.nsecsElapsed());
        QVERIFY(ids.last() != 0);
        QVERIFY(service->isToastExist(ids.last()));
    }
    // Only a guard against a call that waits for the bus; the benchmark has the real figure.
    QVERIFY2(slowestNs < qint64(winsim::freedesktop::DefaultCallTimeoutMs) * 1000000 / 5,
             qPrintable(QString("showToast took %1 ms").arg(slowestNs / 1e6)));

    auto allHeard = [&listeners] {
        for (const auto& listener : qAsConst(listeners)) {
            if (listener->count() == 0)
                return false;
        }
        return true;
    };
    QTRY_VERIFY(allHeard());
    // A hide now closes nothing on a desktop but still ends the toast for the host.
    QVERIFY(service->hideToast(ids.first()));
    QCoreApplication::processEvents();
    for (int i = 0; i < count; ++i) {
        const QVector<RecordingListener::Call> calls = listeners[i]->calls();
        QCOMPARE(calls.size(), i == 0 ? 2 : 1);
        QCOMPARE(calls[0].kind, RecordingListener::Failed);
        QCOMPARE(calls[0].value, winsim::freedesktop::ServerUnavailable);
        QCOMPARE(calls[0].id, ids[i]);
        QCOMPARE(calls[0].thread, QThread::currentThread());
    }
    const RecordingListener::Call hidden = listeners.first()->calls().at(1);
    QCOMPARE(hidden.kind, RecordingListener::Dismissed);
    QCOMPARE(hidden.value, 0);
    module.destroy(service);
}

QTEST_GUILESS_MAIN(DesktopNoServerTest)
#include "tst_desktopnoserver.moc"
