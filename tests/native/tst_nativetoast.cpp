// Guards the native toast's document as the builders write it (duration, sound, images, hero, a line too many) and
// every platform call of init, showToast and hideToast failed in turn: what each failure logs, keeps, shows and
// writes to the shortcut is in tests/data/faultsweep.txt; nothing leaks, nothing is left half done.
#include "nativeexample.h"
#include "systemtoastwinimpl.h"
// A test calls only some of the builders, which are private to the service's source file.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include "toastxmlbuilders_p.h"
#pragma GCC diagnostic pop

#include "logcapture.h"
#include "recordinglistener.h"
#include "shortcutbytes.h"
#include "testdata.h"
#include "toastmodulecontext.h"
#include "winrttest.h"

#include <shlobj.h>
#include <winsim/control.h>

#include <QtTest>

#include <functional>

using namespace winrttest;

using Build = std::function<HRESULT(IXmlDocument*)>;
Q_DECLARE_METATYPE(Build)

namespace {

const QString k_appId = QStringLiteral("Orvex.Office.Desktop");
const QString k_lnk = QStringLiteral("SystemToastWinImpl::updateLnk");
const QString k_hide = QStringLiteral("SystemToastWinImpl::hideToast");
// Platform template numbers.
constexpr int k_imageAndText01 = 0;
constexpr int k_imageAndText04 = 3;
constexpr int k_text01 = 4;

Build setImage(const QString& path)
{
    return [path](IXmlDocument* x) {
        ToastData data;
        data.parse({{0, 4}, {3, path}});
        return setImageField(x, data);
    };
}

Build setHero(bool inlineImage)
{
    return [inlineImage](IXmlDocument* x) {
        ToastData data;
        data.parse({{0, 4}, {6, "C:/h.png"}, {11, inlineImage}});
        return setHeroImage(x, data);
    };
}

Build duration(int type)
{
    return [type](IXmlDocument* x) { return addDuration(x, type); };
}

Build audio(const QString& path, int type)
{
    return [path, type](IXmlDocument* x) { return setAudioField(x, path, type); };
}

struct Fault
{
    QString call;
    int skip;
    bool nullResult;
};

// The trace of one successful run, turned into the faults to inject one by one.
QVector<Fault> faultsOf(const QStringList& trace)
{
    static const QStringList interfaces = testdata::lines("faultsweep.txt", "interface calls");
    QVector<Fault> faults;
    QHash<QString, int> seen;
    for (const QString& call : trace) {
        const int skip = seen[call]++;
        // A string that could not be made reads as empty, which nothing checks; the platform's own events run
        // on its thread, not in the call under test.
        if (call.startsWith(QLatin1String("Windows")) || call.contains(QLatin1String("EventArgs")))
            continue;
        faults.append({call, skip, false});
        if (call.startsWith(QLatin1String("QueryInterface(")) || interfaces.contains(call))
            faults.append({call, skip, true});
    }
    return faults;
}

// The lines of a log that tell of a failed call.
QString errorsIn(const QStringList& lines)
{
    return lines.filter(QRegularExpression(" : (error|result =)")).join(" / ");
}

bool writeShortcut(const QString& path)
{
    QFile file(path);
    const QByteArray bytes = shortcutbytes::shellStyleShortcut();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestNativeToast : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void templates_data();
    void templates();
    void builders_data();
    void builders();
    void initCalls_data();
    void initCalls();
    void showCalls();
    void hideCalls();

private:
    // One run of the calls under test; arm(true) comes right before them, arm(false) right after.
    using Run = std::function<void(const std::function<void(bool)>& arm, QString& outcome)>;
    void sweep(const Run& run, const QString& entry);

    QTemporaryDir m_dir;
    QString m_lnk;
    int m_objects = 0;
    int m_strings = 0;
};

void TestNativeToast::initTestCase()
{
    // A private per-user programs folder: tests may run side by side.
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("user")).toLocal8Bit());
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("common"))));
    m_lnk = m_dir.filePath(QStringLiteral("common/Orvex Office.lnk"));
}

void TestNativeToast::init()
{
    winsim::control::reset();
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    winsim::control::setFolderPath(CSIDL_COMMON_PROGRAMS, m_dir.filePath(QStringLiteral("common")));
    m_objects = winsim::control::liveObjects();
    m_strings = winsim::control::liveStrings();
}

void TestNativeToast::cleanup()
{
    winsim::control::reset();
    winsim::control::unpinOsVersion();
    QCOMPARE(winsim::control::liveObjects(), m_objects);
    QCOMPARE(winsim::control::liveStrings(), m_strings);
}

void TestNativeToast::templates_data()
{
    QTest::addColumn<int>("tostType");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("textFields");
    const char* names[] = {"ToastText01",         "ToastText02",         "ToastText03",         "ToastText04",
                           "ToastImageAndText01", "ToastImageAndText02", "ToastImageAndText03", "ToastImageAndText04"};
    const int fields[] = {1, 2, 2, 3, 1, 2, 2, 3};
    for (int type = 0; type < 8; ++type)
        QTest::addRow("request type %d", type) << type << names[type] << fields[type];
    for (int type : {8, -1, 0x7fffffff})
        QTest::addRow("request type %d refused", type) << type << "ToastImageAndText01" << 0;
}

void TestNativeToast::templates()
{
    QFETCH(int, tostType);
    QFETCH(QString, name);
    QFETCH(int, textFields);
    QCOMPARE(textFieldCount(tostType), textFields);
    ComPtr<IXmlDocument> document = templateDocument(toTemplateType(tostType));
    QCOMPARE(xmlOf(document), testdata::text("templates.txt", name));
    // Each call hands out a document of its own.
    QVERIFY(templateDocument(toTemplateType(tostType)).Get() != document.Get());
}

// Documents and log lines that no request of the native service's golden rows reaches; each row's are the entries
// of its name in toastxml.txt.
void TestNativeToast::builders_data()
{
    QTest::addColumn<int>("platformType");
    QTest::addColumn<QString>("version");
    QTest::addColumn<Build>("build");
    QTest::addColumn<qint32>("result");

    const QString longPath = QStringLiteral("C:/") + QString(257, QLatin1Char('p')); // 260 in all
    QTest::newRow("duration 1 is short") << k_text01 << "10.0.19045" << duration(1) << qint32(S_OK);
    QTest::newRow("duration 3 is short") << k_text01 << "10.0.19045" << duration(3) << qint32(S_OK);
    QTest::newRow("audio loop without path") << k_text01 << "10.0.19045" << audio(QString(), 2) << qint32(S_OK);
    QTest::newRow("audio silent with path") << k_text01 << "10.0.19045" << audio("C:/a.wav", 1) << qint32(S_OK);
    QTest::newRow("image of 260 characters") << k_imageAndText01 << "10.0.19045" << setImage(longPath) << qint32(S_OK);
    QTest::newRow("image of 261 characters refused") << k_imageAndText01 << "10.0.19045" << setImage(longPath + 'x')
                                                     << k_fail;
    QTest::newRow("no hero image before 14393") << k_imageAndText01 << "10.0.10586" << setHero(false) << qint32(S_OK);
    QTest::newRow("hero image on 14393") << k_imageAndText01 << "10.0.14393" << setHero(false) << qint32(S_OK);
    QTest::newRow("inline image on 14393") << k_imageAndText01 << "10.0.14393" << setHero(true) << qint32(S_OK);
    QTest::newRow("text past the last element")
        << k_imageAndText04 << "10.0.19045" << Build([](IXmlDocument* x) { return setTextField(x, "four", 3); }) << k_fail;
    QTest::newRow("duration after an action")
        << k_text01 << "10.0.19045" << Build([](IXmlDocument* x) {
               const HRESULT hr = addAction(x, "A", "a");
               return FAILED(hr) ? hr : addDuration(x, 1);
           })
        << qint32(S_OK);
}

void TestNativeToast::builders()
{
    QFETCH(int, platformType);
    QFETCH(QString, version);
    QFETCH(Build, build);
    QFETCH(qint32, result);
    winsim::control::pinOsVersion(QVersionNumber::fromString(version));
    ComPtr<IXmlDocument> document = templateDocument(platformType);
    QVERIFY(document);
    LogCapture log;
    QCOMPARE(qint32(build(document.Get())), result);
    QCOMPARE(xmlOf(document), testdata::text("toastxml.txt", QTest::currentDataTag()));
    QCOMPARE(log.lines(), testdata::lines("toastxml.txt", QString::fromLatin1(QTest::currentDataTag()) + " log"));
}

// Runs once to learn the calls made, then again for each of them failing; entry names the golden list of
// outcomes. Every fault must be reached, and leave nothing behind.
void TestNativeToast::sweep(const Run& run, const QString& entry)
{
    QVector<Fault> faults{Fault()}; // none: the run that traces the calls
    QStringList outcomes;
    for (int i = 0; i < faults.size(); ++i) {
        const Fault fault = faults[i];
        QString outcome = i == 0 ? QStringLiteral("no fault")
                                 : QStringLiteral("%1 #%2 %3").arg(fault.call).arg(fault.skip).arg(fault.nullResult ? "null" : "fail");
        run([&](bool on) {
            if (i == 0)
                winsim::control::setCallTraceEnabled(on);
            else if (on && fault.nullResult)
                winsim::control::nullResultOnCall(fault.call, winsim::control::Repeat::Once, fault.skip);
            else if (on)
                winsim::control::failCall(fault.call, k_invalidArg, winsim::control::Repeat::Once, fault.skip);
        }, outcome);
        if (QTest::currentTestFailed())
            return;
        if (i == 0)
            faults += faultsOf(winsim::control::callTrace());
        QVERIFY2(winsim::control::pendingFaults() == 0, qPrintable(outcome + ": never reached"));
        QVERIFY(winsim::control::waitForPlatformEvents());
        QCoreApplication::sendPostedEvents();
        winsim::control::clearShownToasts();
        QVERIFY2(winsim::control::liveObjects() == m_objects && winsim::control::liveStrings() == m_strings,
                 qPrintable(outcome + ": leaked"));
        outcomes << outcome;
    }
    QCOMPARE(outcomes, testdata::lines("faultsweep.txt", entry));
}

void TestNativeToast::initCalls_data()
{
    QTest::addColumn<QVariantMap>("config");
    QTest::newRow("configured shortcut, process id") << QVariantMap{{"startMenuLnkPath", m_lnk}};
    QTest::newRow("shortcut found by application name") << QVariantMap{{"appName", "Orvex Office"}};
}

void TestNativeToast::initCalls()
{
    QFETCH(QVariantMap, config);
    sweep([&](const std::function<void(bool)>& arm, QString& outcome) {
        QVERIFY(writeShortcut(m_lnk));
        winsim::control::setProcessAppUserModelId(k_appId);
        SystemToastWinImpl service;
        LogCapture log;
        arm(true);
        QVERIFY(service.init(config));
        arm(false);
        const QStringList lines = log.lines();
        // The shortcut update closes on every path, and the file is only ever written whole.
        const QStringList lnkLines = lines.filter(k_lnk);
        QCOMPARE(lnkLines.first(), line(k_lnk, "begin"));
        QCOMPARE(lnkLines.last(), line(k_lnk, "end"));
        QFile file(m_lnk);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray now = file.readAll();
        const QString stamped = shortcutbytes::stringProperty(now, shortcutbytes::appUserModelFormat(), 5);
        QVERIFY2(now == shortcutbytes::shellStyleShortcut() || stamped == service.appUserModelId(), qPrintable(outcome));
        const bool shows = service.showToast({{0, 0}, {5, "a"}}, {}) != 0;
        outcome += QStringLiteral(" | %1 | id %2, shortcut %3, toasts %4")
                       .arg(errorsIn(lines), service.appUserModelId(), stamped.isNull() ? "kept" : "stamped",
                            shows ? "shown" : "refused");
    }, "init: " + QString::fromLatin1(QTest::currentDataTag()));
}

// Per fault: what became of the toast, what was logged as failed and the line showToast closed on.
void TestNativeToast::showCalls()
{
    sweep([](const std::function<void(bool)>& arm, QString& outcome) {
        auto listener = std::make_shared<RecordingListener>();
        SystemToastWinImpl service;
        service.init({{"appUserModeId", k_appId}});
        const quint64 probe = ToastModuleContext::instance()->nextToastId();
        LogCapture log;
        arm(true);
        const quint64 id = service.showToast(fullNativeExample(), listener);
        arm(false);
        const QStringList lines = log.lines();
        QCOMPARE(lines.last(), line("SystemToastWinImpl::showToast", QStringLiteral("end id = %1").arg(id)));
        QVERIFY2(id == 0 || id == probe + 1, qPrintable(outcome));
        QString kept = id == 0 ? "refused" : service.isToastExist(id) ? "stored" : "dropped";
        if (!winsim::control::shownToasts().isEmpty())
            kept = "shown";
        outcome += " | " + QStringList{kept, errorsIn(lines), lines.value(lines.size() - 2)}.join(" | ");
    }, "show");
}

void TestNativeToast::hideCalls()
{
    sweep([](const std::function<void(bool)>& arm, QString& outcome) {
        auto listener = std::make_shared<RecordingListener>();
        SystemToastWinImpl service;
        service.init({{"appUserModeId", k_appId}});
        const quint64 id = service.showToast({{0, 0}, {5, "a"}}, listener);
        QVERIFY(id != 0);
        LogCapture log;
        arm(true);
        const bool hidden = service.hideToast(id);
        arm(false);
        const int heard = listener->count();
        QVERIFY(service.isToastExist(id));
        // The platform may log its own "hidden" event meanwhile, on its thread.
        outcome += QStringLiteral(" | %1 | %2, heard %3")
                       .arg(log.lines().filter(k_hide).join(" / "), hidden ? "hidden" : "not hidden").arg(heard);
    }, "hide");
}

QTEST_GUILESS_MAIN(TestNativeToast)
#include "tst_nativetoast.moc"
