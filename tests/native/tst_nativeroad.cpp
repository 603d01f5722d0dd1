// Guards the native road end to end: module loaded by file name, click heard with its index, hide, toastctl's output.
#include "isystemnotifytoast.h"

#include "modulelibrary.h"
#include "recordinglistener.h"
#include "testdata.h"

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
    const auto shown = winsim::control::shownToasts();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].appUserModelId, QStringLiteral("Orvex.Office.Desktop"));
    QVERIFY(shown[0].xml.contains(QStringLiteral("<action content=\"Show changes\" arguments=\"show-changes\"/>")));

    // The second button, then a hide: heard on this thread, with the toast's id, the index and reason 0.
    QVERIFY(winsim::control::raiseActivated(shown[0].key, QStringLiteral("show-changes")));
    QTRY_COMPARE(listener->count(), 1);
    QVERIFY(service->hideToast(id));
    QVERIFY(!winsim::control::shownToasts().at(0).onScreen);
    QVERIFY(service->isToastExist(id));
    QCOMPARE(listener->heard(id), (QStringList{"activated 1 1 show-changes", "dismissed 0"}));
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
                    "--log", "--dump-xml", "--hide-after", "0", "show", "{\"0\":0,\"5\":[\"a & b\"]}"});
    QVERIFY(toastctl.waitForFinished(30000));
    QCOMPARE(toastctl.exitCode(), 0);
    // Everything it printed, log lines included, with the toast's id as ID. The platform's own
    // "hidden" event may reach the handlers before hideToast removes them; its lines are left out.
    QStringList printed = QString::fromUtf8(toastctl.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QString id = printed.filter("\"event\":\"shown\"").value(0).section(':', 2).section('}', 0, 0);
    QVERIFY2(id.toULongLong() > 0, qPrintable(printed.join('\n')));
    printed = printed.filter(QRegularExpression("^(?!.*(attachDismissed|onDismissed))"));
    printed.replaceInStrings(QRegularExpression("(\"id\":|end id = )" + id + "\\b"), "\\1ID");
    QCOMPARE(printed, testdata::lines("toastctl.txt", "native show, dump, hide"));
}

QTEST_GUILESS_MAIN(TestNativeRoad)
#include "tst_nativeroad.moc"
