// Guards against any failing platform call crashing, leaking or half-writing a toast or shortcut, or going unlogged.
// Every call of init, showToast and hideToast is failed in turn; what each must log is in tests/data/faultsweep.txt.
#include "nativeexample.h"
#include "systemtoastwinimpl.h"

#include "logcapture.h"
#include "recordinglistener.h"
#include "shortcutbytes.h"
#include "testdata.h"
#include "toastmodulecontext.h"
#include "winrttest.h"

#include <shlobj.h>
#include <winsim/control.h>

#include <QtTest>

using namespace winrttest;

namespace {

const QString k_appId = QStringLiteral("Orvex.Office.Desktop");
const QString k_show = QStringLiteral("SystemToastWinImpl::showToast");
const QString k_lnk = QStringLiteral("SystemToastWinImpl::updateLnk");
constexpr qint32 k_outOfMemory = static_cast<qint32>(0x8007000Eu);

QStringList sweepData(const char* entry)
{
    return testdata::lines(QStringLiteral("faultsweep.txt"), QLatin1String(entry));
}

// What init and the shortcut update log for a call: see [init calls] in faultsweep.txt.
struct InitCall
{
    QString failText;
    QString nullText;
    bool grouped = false;
};

QMap<QString, InitCall> expectedInitCalls()
{
    QMap<QString, InitCall> calls;
    for (const QString& row : sweepData("init calls")) {
        const QStringList f = row.split(QLatin1Char('|'));
        calls.insert(f.value(0).trimmed(), {f.value(1).trimmed(), f.value(2).trimmed(), f.value(3).trimmed() == QLatin1String("grouped")});
    }
    return calls;
}

struct Fault
{
    QString call;
    int skip;
    bool nullResult;
    int index; // where this occurrence sits in the successful run
};

// The trace of one successful run, turned into the faults to inject one by one.
QVector<Fault> faultsOf(const QStringList& trace)
{
    static const QStringList interfaces = sweepData("interface calls");
    QVector<Fault> faults;
    QHash<QString, int> seen;
    for (int i = 0; i < trace.size(); ++i) {
        const QString& call = trace[i];
        const int skip = seen[call]++;
        if (call.startsWith(QLatin1String("Windows")))
            continue; // a string that could not be made reads as empty; nothing checks it
        faults.append({call, skip, false, i});
        if (call.startsWith(QLatin1String("QueryInterface(")) || interfaces.contains(call))
            faults.append({call, skip, true, i});
    }
    return faults;
}

void inject(const Fault& fault)
{
    if (fault.nullResult)
        winsim::control::nullResultOnCall(fault.call, winsim::control::Repeat::Once, fault.skip);
    else
        winsim::control::failCall(fault.call, k_invalidArg, winsim::control::Repeat::Once, fault.skip);
}

QString describe(const Fault& fault)
{
    return QStringLiteral("%1 #%2 %3").arg(fault.call).arg(fault.skip).arg(fault.nullResult ? "null" : "fail");
}

QString errorMessage(qint32 hr)
{
    return QStringLiteral("error result = %1").arg(hr);
}

} // namespace

class TestNativeFaultSweep : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void initCalls_data();
    void initCalls();
    void showCalls();
    void hideCalls();

private:
    QString writeShortcut(const QString& dir);

    QTemporaryDir m_dir;
    QString m_common;
    int m_objects = 0;
    int m_strings = 0;
};

void TestNativeFaultSweep::initTestCase()
{
    // A private per-user programs folder: tests may run side by side.
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("user")).toLocal8Bit());
    m_common = m_dir.filePath(QStringLiteral("common"));
    QVERIFY(QDir().mkpath(m_common));
}

void TestNativeFaultSweep::init()
{
    winsim::control::reset();
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    winsim::control::setFolderPath(CSIDL_COMMON_PROGRAMS, m_common);
    m_objects = winsim::control::liveObjects();
    m_strings = winsim::control::liveStrings();
}

void TestNativeFaultSweep::cleanup()
{
    winsim::control::reset();
    winsim::control::unpinOsVersion();
}

QString TestNativeFaultSweep::writeShortcut(const QString& dir)
{
    const QString path = QDir(dir).filePath(QStringLiteral("Orvex Office.lnk"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(shortcutbytes::shellStyleShortcut());
    return path;
}

void TestNativeFaultSweep::initCalls_data()
{
    QTest::addColumn<bool>("byAppName");
    QTest::newRow("configured shortcut, process id") << false;
    QTest::newRow("shortcut found by application name") << true;
}

void TestNativeFaultSweep::initCalls()
{
    QFETCH(bool, byAppName);
    winsim::control::setProcessAppUserModelId(k_appId);
    const QString path = writeShortcut(m_common);
    const QByteArray original = shortcutbytes::shellStyleShortcut();
    const QVariantMap config = byAppName ? QVariantMap{{"appName", "Orvex Office"}} : QVariantMap{{"startMenuLnkPath", path}};

    QStringList trace;
    {
        SystemToastWinImpl service;
        winsim::control::setCallTraceEnabled(true);
        QVERIFY(service.init(config));
        winsim::control::setCallTraceEnabled(false);
        trace = winsim::control::callTrace();
        QCOMPARE(service.appUserModelId(), k_appId);
    }
    QCOMPARE(trace.contains("SHGetFolderPathW"), byAppName);

    const QMap<QString, InitCall> calls = expectedInitCalls();
    for (const Fault& fault : faultsOf(trace)) {
        QVERIFY2(calls.contains(fault.call), qPrintable("not covered by the sweep: " + fault.call));
        InitCall expected = calls.value(fault.call);
        // Task memory is also what the process's own id comes in; losing that only loses the id.
        if (fault.index > 0 && trace[fault.index - 1] == QLatin1String("GetCurrentProcessExplicitAppUserModelID"))
            expected = InitCall();
        if (fault.nullResult && expected.nullText.isEmpty())
            continue;
        QVERIFY(writeShortcut(m_common) == path);
        winsim::control::setProcessAppUserModelId(k_appId);
        {
            SystemToastWinImpl service;
            inject(fault);
            LogCapture log;
            QVERIFY(service.init(config));
            QCOMPARE(winsim::control::pendingFaults(), 0);
            const QStringList lines = log.lines();
            const QString text = fault.nullResult ? expected.nullText : expected.failText;
            const qint32 hr = fault.call == QLatin1String("CoTaskMemAlloc") ? k_outOfMemory : k_invalidArg;
            const QString message = fault.nullResult ? QStringLiteral("error param") : errorMessage(hr);
            if (!text.isEmpty()) {
                const int at = lines.indexOf(line(text, message));
                QVERIFY2(at >= 0, qPrintable(describe(fault) + "\n" + lines.join('\n')));
                if (expected.grouped)
                    QCOMPARE(lines.value(at + 1), line("hResult", message));
            }
            // The shortcut update closes on every path, and the file is only ever written whole.
            const QStringList lnkLines = lines.filter(k_lnk);
            QCOMPARE(lnkLines.first(), line(k_lnk, "begin"));
            QCOMPARE(lnkLines.last(), line(k_lnk, "end"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray now = file.readAll();
            const QString stamped = shortcutbytes::stringProperty(now, shortcutbytes::appUserModelFormat(), 5);
            QVERIFY2(now == original || stamped == service.appUserModelId(), qPrintable(describe(fault)));
            // A failure the update checks stops it before anything is saved.
            if (!text.isEmpty() && fault.index < trace.indexOf("IPersistFile::Save"))
                QVERIFY2(now == original, qPrintable(describe(fault) + ": the shortcut was saved"));
            // Without the manager every toast is refused, with it they are shown.
            const bool managed = !fault.call.contains(QLatin1String("ActivationFactory")) && !fault.call.contains(QLatin1String("ManagerStatics"));
            QCOMPARE(service.showToast({{0, 0}, {5, "a"}}, {}) != 0, managed && !service.appUserModelId().isEmpty());
        }
        winsim::control::clearShownToasts();
        QCOMPARE(winsim::control::liveObjects(), m_objects);
    }
}

void TestNativeFaultSweep::showCalls()
{
    QStringList trace;
    {
        SystemToastWinImpl service;
        service.init({{"appUserModeId", k_appId}});
        winsim::control::setCallTraceEnabled(true);
        QVERIFY(service.showToast(fullNativeExample(), {}) != 0);
        winsim::control::setCallTraceEnabled(false);
        trace = winsim::control::callTrace();
    }
    winsim::control::clearShownToasts();
    // Per fault: the outcome, the first error line and the line showToast closed on.
    QStringList outcomes;
    for (const Fault& fault : faultsOf(trace)) {
        const quint64 probe = ToastModuleContext::instance()->nextToastId();
        {
            auto listener = std::make_shared<RecordingListener>();
            SystemToastWinImpl service;
            service.init({{"appUserModeId", k_appId}});
            inject(fault);
            LogCapture log;
            const quint64 id = service.showToast(fullNativeExample(), listener);
            QCOMPARE(winsim::control::pendingFaults(), 0);
            const QStringList lines = log.lines();
            QCOMPARE(lines.last(), line(k_show, QStringLiteral("end id = %1").arg(id)));
            QVERIFY2(id == 0 || id == probe + 1, qPrintable(describe(fault)));
            QString outcome = id == 0 ? "refused" : service.isToastExist(id) ? "stored" : "dropped";
            if (!winsim::control::shownToasts().isEmpty())
                outcome = "shown";
            const QStringList errors = lines.filter(QRegularExpression(" : (error|result =)"));
            outcomes << QStringList{describe(fault), outcome, errors.value(0), lines.value(lines.size() - 2)}.join(" | ");
        }
        QVERIFY(winsim::control::waitForPlatformEvents());
        QCoreApplication::sendPostedEvents();
        winsim::control::clearShownToasts();
        QCOMPARE(winsim::control::liveObjects(), m_objects);
        QCOMPARE(winsim::control::liveStrings(), m_strings);
    }
    QCOMPARE(outcomes, sweepData("show outcomes"));
}

void TestNativeFaultSweep::hideCalls()
{
    auto listener = std::make_shared<RecordingListener>();
    SystemToastWinImpl service;
    service.init({{"appUserModeId", k_appId}});
    const quint64 first = service.showToast({{0, 0}, {5, "a"}}, listener);
    winsim::control::setCallTraceEnabled(true);
    QVERIFY(service.hideToast(first));
    winsim::control::setCallTraceEnabled(false);
    QVERIFY(winsim::control::waitForPlatformEvents());
    // The platform's own "hidden" event may run meanwhile on its thread; its calls are not hideToast's.
    QStringList trace;
    for (const QString& call : winsim::control::callTrace())
        if (!call.contains(QLatin1String("EventArgs")))
            trace << call;
    QVERIFY(trace.contains("IToastNotifier::Hide"));

    for (const Fault& fault : faultsOf(trace)) {
        const quint64 id = service.showToast({{0, 0}, {5, "a"}}, listener);
        QVERIFY(id != 0);
        const int before = listener->count();
        inject(fault);
        LogCapture log;
        const bool hidden = service.hideToast(id);
        QCOMPARE(winsim::control::pendingFaults(), 0);
        // The platform may log its own "hidden" event meanwhile, on its thread.
        const QStringList lines = log.lines().filter(QStringLiteral("SystemToastWinImpl::hideToast"));
        const bool notifierFails = fault.call == QLatin1String("IToastNotificationManagerStatics::CreateToastNotifierWithId");
        QCOMPARE(hidden, !notifierFails);
        if (notifierFails) {
            const qint32 hr = fault.nullResult ? k_fail : k_invalidArg;
            QCOMPARE(lines, QStringList{line("SystemToastWinImpl::hideToast", QStringLiteral("create notifier failed hr = %1").arg(hr))});
            QCOMPARE(listener->count(), before);
        } else {
            QCOMPARE(lines, QStringList());
            QCOMPARE(listener->count(), before + 1);
        }
        QVERIFY(service.isToastExist(id));
        QVERIFY(winsim::control::waitForPlatformEvents());
    }
}

QTEST_GUILESS_MAIN(TestNativeFaultSweep)
#include "tst_nativefaultsweep.moc"
