// Guards the native road end to end: module loaded by file name, click heard with its index, hide, toastctl's output.
#include "isystemnotifytoast.h"

#include "modulelibrary.h"
#include "recordinglistener.h"

#include <winsim/control.h>

#include <QtTest>

class TestNativeRoad : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void activationAndHide();
    void hostProgramPrintsTheDocument();
};

namespace {

const QMap<int, QVariant> k_request{
    {0, 1},
    {5, QStringList{QStringLiteral("Sync finished"), QStringLiteral("3 files updated")}},
    {10, QStringList{QStringLiteral("{\"text\":\"Open folder\",\"action\":\"open-folder\"}"),
                     QStringLiteral("{\"text\":\"Show changes\",\"action\":\"show-changes\"}")}},
};

} // namespace

void TestNativeRoad::init()
{
    winsim::control::reset();
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
}

void TestNativeRoad::cleanup()
{
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCoreApplication::sendPostedEvents();
    winsim::control::reset();
    winsim::control::unpinOsVersion();
}

void TestNativeRoad::activationAndHide()
{
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    QVERIFY(module.isSupported());
    ISystemNotifyToast* service = module.create(false);
    QVERIFY(service);
    QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Desktop")}}));
    auto listener = std::make_shared<RecordingListener>();
    const quint64 id = service->showToast(k_request, listener);
    QVERIFY(id != 0);
    QVERIFY(service->isToastExist(id));

    const auto shown = winsim::control::shownToasts();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].appUserModelId, QStringLiteral("Orvex.Office.Desktop"));
    QVERIFY(shown[0].xml.contains(QStringLiteral("<action content=\"Show changes\" arguments=\"show-changes\"/>")));

    QVERIFY(winsim::control::raiseActivated(shown[0].key, QStringLiteral("show-changes")));
    QTRY_COMPARE(listener->count(), 1);
    RecordingListener::Call call = listener->calls().at(0);
    QCOMPARE(call.kind, RecordingListener::Activated);
    QCOMPARE(call.id, id);
    QCOMPARE(call.source, 1);
    QCOMPARE(call.index, qint64(1));
    QCOMPARE(call.action, QStringLiteral("show-changes"));
    QCOMPARE(call.thread, QThread::currentThread());

    QVERIFY(service->hideToast(id));
    QCOMPARE(listener->count(), 2);
    call = listener->calls().at(1);
    QCOMPARE(call.kind, RecordingListener::Dismissed);
    QCOMPARE(call.id, id);
    QCOMPARE(call.value, 0);
    QVERIFY(!winsim::control::shownToasts().at(0).onScreen);
    QVERIFY(service->isToastExist(id));
    module.destroy(service);
}

// The host program drives the same road in its own process.
void TestNativeRoad::hostProgramPrintsTheDocument()
{
    QProcess toastctl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing is drawn on this road; the offscreen plugin would only add its own leaks under ASan.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("minimal"));
    toastctl.setProcessEnvironment(env);
    toastctl.start(QStringLiteral(SNT_TOASTCTL_FILE),
                   {"--module", SNT_MODULE_FILE, "--platform-version", "10.0.19045", "--config", "{\"appUserModeId\":\"Orvex.Office\"}",
                    "--dump-xml", "--hide-after", "0", "show", "{\"0\":0,\"5\":[\"a & b\"]}"});
    QVERIFY(toastctl.waitForFinished(30000));
    QCOMPARE(toastctl.exitCode(), 0);
    QList<QJsonObject> events;
    for (const QByteArray& text : toastctl.readAllStandardOutput().split('\n'))
        if (!text.isEmpty())
            events << QJsonDocument::fromJson(text).object();
    QCOMPARE(events.size(), 4);
    const double id = events[0].value("id").toDouble();
    QVERIFY(id > 0);
    QCOMPARE(events[1].value("event").toString(), QStringLiteral("xml"));
    QCOMPARE(events[1].value("id").toDouble(), id);
    QCOMPARE(events[1].value("xml").toString(),
             QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text id=\"1\">a &amp; b</text></binding></visual></toast>"));
    QCOMPARE(events[2].value("event").toString(), QStringLiteral("dismissed"));
    QCOMPARE(events[2].value("reason").toInt(), 0);
    QVERIFY2(events[3] == QJsonObject({{"event", "hidden"}, {"id", id}, {"result", true}}),
             QJsonDocument(events[3]).toJson(QJsonDocument::Compact).constData());
}

QTEST_GUILESS_MAIN(TestNativeRoad)
#include "tst_nativeroad.moc"
