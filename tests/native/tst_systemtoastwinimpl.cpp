// Guards the native service's shown document, its application id and Start-menu shortcut, unique ids, hide and refusals.
#include "nativedocumentrows.h"
#include "systemtoastwinimpl.h"

#include "fifofeeder.h"
#include "logcapture.h"
#include "recordinglistener.h"
#include "shortcutbytes.h"
#include "testdata.h"
#include "winrttest.h"

#include <shlobj.h>
#include <winsim/control.h>

#include <QtTest>

using namespace winrttest;
using Request = QMap<int, QVariant>;

namespace {

const QString k_appId = QStringLiteral("Orvex.Office.Desktop");
const QString k_show = QStringLiteral("SystemToastWinImpl::showToast");
const QString k_hide = QStringLiteral("SystemToastWinImpl::hideToast");
const QString k_aumi = QStringLiteral("SystemToastWinImpl::getUsefulAppUserModelId");
const QString k_lnk = QStringLiteral("SystemToastWinImpl::updateLnk");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A shortcut as the shell writes one, stamped with id (when given) by a service of its own.
bool makeShortcut(const QString& path, const QString& id)
{
    QFile file(path);
    const QByteArray bytes = shortcutbytes::shellStyleShortcut();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    if (!id.isEmpty())
        SystemToastWinImpl().init({{"appUserModeId", id}, {"startMenuLnkPath", path}});
    return true;
}

QString shortcutId(const QString& path)
{
    return shortcutbytes::stringProperty(readFile(path), shortcutbytes::appUserModelFormat(), 5);
}

QStringList lines(const QString& where, const QStringList& messages)
{
    QStringList out;
    for (const QString& message : messages)
        out << line(where, message);
    return out;
}

} // namespace

class TestSystemToastWinImpl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void withoutManager();
    void shownDocument_data();
    void shownDocument();
    void idsComeFromTheSharedCounter();
    void hideAndExistence();
    void chosenId_data();
    void chosenId();
    void shortcut_data();
    void shortcut();

private:
    QTemporaryDir m_dir;
    QString m_userPrograms;
    QString m_commonPrograms;
    int m_objects = 0;
    FifoFeeder m_fifo{QStringLiteral("image.png"), QByteArray()}; // "$FIFO" in rows
};

void TestSystemToastWinImpl::initTestCase()
{
    // A private per-user programs folder: tests may run side by side.
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("user")).toLocal8Bit());
    m_userPrograms = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    QVERIFY(QDir().mkpath(m_userPrograms));
    m_commonPrograms = m_dir.filePath(QStringLiteral("common"));
    QVERIFY(QDir().mkpath(m_commonPrograms));
}

void TestSystemToastWinImpl::init()
{
    winsim::control::reset();
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    winsim::control::setFolderPath(CSIDL_COMMON_PROGRAMS, m_commonPrograms);
    m_objects = winsim::control::liveObjects();
    for (const QString& dir : {m_userPrograms, m_commonPrograms})
        for (const QString& name : QDir(dir).entryList({QStringLiteral("*.lnk")}))
            QFile::remove(QDir(dir).filePath(name));
}

void TestSystemToastWinImpl::cleanup()
{
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCoreApplication::sendPostedEvents();
    winsim::control::reset();
    winsim::control::unpinOsVersion();
    QCOMPARE(winsim::control::liveObjects(), m_objects);
}

// Before init, or after an init that lost the manager, nothing is shown or hidden; a later init serves again.
void TestSystemToastWinImpl::withoutManager()
{
    SystemToastWinImpl service;
    LogCapture log;
    QCOMPARE(service.showToast(fullNativeExample(), {}), quint64(0));
    QCOMPARE(log.lines(), lines(k_show, {"begin", "notifymanager is null", "end id = 0"}));
    QVERIFY(!service.hideToast(1));
    QVERIFY(!service.isToastExist(0));

    QVERIFY(service.init({{"appUserModeId", k_appId}}));
    const quint64 id = service.showToast({{0, 0}, {5, "a"}}, {});
    QVERIFY(id != 0);
    winsim::control::failCall(QStringLiteral("RoGetActivationFactory"), k_invalidArg);
    QVERIFY(service.init({{"appUserModeId", k_appId}}));
    log.clear();
    QVERIFY(!service.hideToast(id));
    QCOMPARE(log.lines(), lines(k_hide, {"notifymanager is null"}));
    QVERIFY(service.isToastExist(id));
    QCOMPARE(service.showToast({{0, 0}}, {}), quint64(0));
    QVERIFY(service.init({{"appUserModeId", k_appId}}));
    QVERIFY(service.hideToast(id));
}

// The expected document of each row is the entry of the row's name in nativeservice.txt.
void TestSystemToastWinImpl::shownDocument_data()
{
    addNativeDocumentRows();
    // The server would block reading them; a missing file goes on as it is (the full example's).
    QTest::newRow("image a FIFO, hero a device: left out") << Request{{0, 4}, {5, QStringList{"a"}}, {3, "$FIFO"}, {6, "/dev/zero"}};
}

void TestSystemToastWinImpl::shownDocument()
{
    QFETCH(Request, request);
    QVERIFY(m_fifo.isValid());
    for (QVariant& value : request) {
        if (value == "$FIFO")
            value = m_fifo.path();
    }
    SystemToastWinImpl service;
    LogCapture log;
    QVERIFY(service.init({{"appUserModeId", k_appId}}));
    const quint64 id = service.showToast(request, std::make_shared<RecordingListener>());
    const QString xml = testdata::text("nativeservice.txt", QTest::currentDataTag());
    const auto shown = winsim::control::shownToasts();
    QCOMPARE(shown.isEmpty() ? QString() : shown[0].xml, xml);
    QCOMPARE(id != 0, !xml.isEmpty());
    QCOMPARE(service.isToastExist(id), id != 0);
    QVERIFY(shown.isEmpty() || shown[0].appUserModelId == k_appId);
    // The whole log of init and showToast; $ID is the id it returned.
    QStringList expected = testdata::lines("nativeservice.txt", "init") + testdata::lines("nativeservice.txt", QString::fromLatin1(QTest::currentDataTag()) + " log");
    QCOMPARE(log.lines(), expected.replaceInStrings("$ID", QString::number(id)).replaceInStrings("$FIFO", m_fifo.path()));
}

void TestSystemToastWinImpl::idsComeFromTheSharedCounter()
{
    SystemToastWinImpl first;
    SystemToastWinImpl second;
    first.init({{"appUserModeId", k_appId}});
    second.init({{"appUserModeId", k_appId}});
    const quint64 a = first.showToast({{0, 0}, {5, "a"}}, {});
    const quint64 b = second.showToast({{0, 0}, {5, "b"}}, {});
    QCOMPARE(second.showToast({{5, "no type"}}, {}), quint64(0));
    QCOMPARE(first.showToast({{0, 9}}, {}), quint64(0));
    const quint64 c = first.showToast({{0, 0}, {5, "c"}}, {});
    QVERIFY(a != 0);
    QCOMPARE(b, a + 1);
    QCOMPARE(c, b + 1); // refusals drew nothing
    QVERIFY(first.isToastExist(a) && !first.isToastExist(b) && second.isToastExist(b));
}

void TestSystemToastWinImpl::hideAndExistence()
{
    SystemToastWinImpl service;
    service.init({{"appUserModeId", k_appId}});
    auto listener = std::make_shared<RecordingListener>();
    const quint64 id = service.showToast({{0, 0}, {5, "a"}, {10, QStringList{"{\"text\":\"A\",\"action\":\"a\"}"}}}, listener);
    QVERIFY(id != 0);

    LogCapture log;
    QVERIFY(!service.hideToast(id + 1000));
    QCOMPARE(log.lines(), lines(k_hide, {QStringLiteral("not find id:%1").arg(id + 1000)}));
    QVERIFY(!service.updateToast(id, {{0, 0}}));

    QVERIFY(service.hideToast(id));
    QVERIFY(service.isToastExist(id));
    QVERIFY(!winsim::control::shownToasts().last().onScreen);
    QVERIFY(service.hideToast(id)); // nothing left to hide, still known
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(winsim::control::handlersKeptAlive(), 0); // the platform held the handlers' last references
    // The platform's own "hidden by the application" event came too late to be reported again.
    QCOMPARE(listener->heard(id), QStringList{"dismissed 0"});
}

void TestSystemToastWinImpl::chosenId_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QString>("process");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("configured wins") << k_appId << "Process.Id" << k_appId << QStringList{"default Aumi:" + k_appId};
    QTest::newRow("process id") << "" << "Process.Id" << "Process.Id" << QStringList{"default Aumi:", "get model id : Process.Id"};
    QTest::newRow("none") << "" << "" << "" << QStringList{"default Aumi:"};
}

void TestSystemToastWinImpl::chosenId()
{
    QFETCH(QString, configured);
    QFETCH(QString, process);
    QFETCH(QString, chosen);
    QFETCH(QStringList, lines);
    winsim::control::setProcessAppUserModelId(process);
    SystemToastWinImpl service;
    LogCapture log;
    QCOMPARE(service.getUsefulAppUserModelId(configured), chosen);
    QCOMPARE(log.lines(), ::lines(k_aumi, lines));
    // A shortcut without an id gets the chosen one, and nothing when there is none.
    const QString lnk = m_dir.filePath(QStringLiteral("chosen.lnk"));
    QVERIFY(makeShortcut(lnk, QString()));
    const QByteArray before = readFile(lnk);
    log.clear();
    service.init({{"appUserModeId", configured}, {"startMenuLnkPath", lnk}});
    QCOMPARE(service.appUserModelId(), chosen);
    QCOMPARE(readFile(lnk) == before, chosen.isEmpty());
    QCOMPARE(log.lines().contains(line(k_lnk, "no app model id to write")), chosen.isEmpty());
    // Without any id the platform refuses the notifier, and so does the service.
    QCOMPARE(service.showToast({{0, 0}, {5, "a"}}, {}) != 0, !chosen.isEmpty());
}

void TestSystemToastWinImpl::shortcut_data()
{
    QTest::addColumn<QString>("configured"); // "given", "missing" or "" for none
    QTest::addColumn<QString>("appName");
    QTest::addColumn<QString>("placedIn");   // where a shortcut is: "given", "user", "common", "" nowhere
    QTest::addColumn<QString>("lnkId");      // the id it already carries
    QTest::addColumn<QString>("used");       // the path the service must open
    QTest::addColumn<QString>("serviceId");
    QTest::addColumn<QString>("note");       // a line the service must log about the id
    const QString app = QStringLiteral("Orvex Office");
    QTest::newRow("given, without id: stamped") << "given" << "" << "given" << "" << "given" << k_appId << "app model id don't exist";
    QTest::newRow("given, another id: taken") << "given" << "" << "given" << "Other.Id" << "given" << "Other.Id"
                                            << "app model id not equal " + k_appId + ":Other.Id";
    QTest::newRow("given, same id: left alone") << "given" << "" << "given" << k_appId << "given" << k_appId << "";
    QTest::newRow("by name: per-user folder first") << "" << app << "user" << "" << "user" << k_appId << "app model id don't exist";
    QTest::newRow("by name: all-users folder") << "" << app << "common" << "" << "common" << k_appId << "app model id don't exist";
    QTest::newRow("by name: all-users even when missing") << "" << app << "" << "" << "common" << k_appId << "";
    QTest::newRow("given path missing: by name") << "missing" << app << "user" << "" << "user" << k_appId << "app model id don't exist";
    QTest::newRow("nothing to go by") << "" << "" << "user" << "" << "" << k_appId << "";
}

void TestSystemToastWinImpl::shortcut()
{
    QFETCH(QString, configured);
    QFETCH(QString, appName);
    QFETCH(QString, placedIn);
    QFETCH(QString, lnkId);
    QFETCH(QString, used);
    QFETCH(QString, serviceId);
    QFETCH(QString, note);
    const QString name = QStringLiteral("Orvex Office.lnk");
    const QMap<QString, QString> paths{{"given", m_dir.filePath(name)}, {"missing", m_dir.filePath("missing.lnk")},
                                       {"user", QDir(m_userPrograms).filePath(name)}, {"common", QDir(m_commonPrograms).filePath(name)}};
    const QString path = paths.value(used);
    if (!placedIn.isEmpty())
        QVERIFY(makeShortcut(paths.value(placedIn), lnkId));
    const QByteArray before = readFile(path);

    SystemToastWinImpl service;
    LogCapture log;
    QVERIFY(service.init({{"appUserModeId", k_appId}, {"startMenuLnkPath", paths.value(configured)}, {"appName", appName}}));
    QCOMPARE(service.appUserModelId(), serviceId);
    const QStringList got = log.lines().filter(k_lnk);
    QCOMPARE(got.first(), line(k_lnk, "begin"));
    QCOMPARE(got.last(), line(k_lnk, "end"));
    QCOMPARE(got.contains(line(k_lnk, "is wrong lnk")), configured != QLatin1String("given"));
    QVERIFY2(got.contains(line(k_lnk, "last lnk:" + path)), qPrintable(got.join('\n')));
    if (!note.isEmpty())
        QVERIFY2(got.contains(line(k_lnk, note)), qPrintable(got.join('\n')));
    const bool loads = log.lines().filter("call persistFile->Load(lnk.toStdWString().c_str(), STGM_READWRITE) : error result = -").isEmpty();
    QCOMPARE(loads, !before.isEmpty());

    const QByteArray after = readFile(path);
    QCOMPARE(after != before, loads && lnkId.isEmpty());
    if (loads)
        QCOMPARE(shortcutId(path), serviceId);
    if (after != before) {
        // Everything else the shell wrote is still there, and an outside reader still reads the file.
        QCOMPARE(shortcutbytes::idList(after), shortcutbytes::idList(before));
        QCOMPARE(shortcutbytes::extraBlocks(after).first(), shortcutbytes::extraBlocks(before).first()); // the tracker
        QCOMPARE(after.mid(0x18, 0x34), before.mid(0x18, 0x34)); // times, size, icon, show command, hot key
        QProcess lnkinfo;
        lnkinfo.start(QStringLiteral("lnkinfo"), {path});
        QVERIFY2(lnkinfo.waitForFinished(30000), "lnkinfo (liblnk-utils) did not run");
        QCOMPARE(lnkinfo.exitCode(), 0);
        QVERIFY(!lnkinfo.readAllStandardError().contains("rror"));
    }
    QVERIFY(service.showToast({{0, 0}, {5, "a"}}, {}) != 0);
    QCOMPARE(winsim::control::shownToasts().last().appUserModelId, serviceId);
}

QTEST_GUILESS_MAIN(TestSystemToastWinImpl)
#include "tst_systemtoastwinimpl.moc"
