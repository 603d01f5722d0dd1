// Guards request parsing and toast ids (seeded from the clock, masked, never 0), and the native road on the simulated
// platform: no function without its library, XML that reads back, stamped shortcuts an outside reader accepts,
// damaged ones refused, and every platform call of init, showToast and hideToast failed in turn (faultsweep.txt:
// what each failure logs, keeps, shows and writes; nothing leaks).
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
#include "umskin.h"
#include "winrttest.h"

#include <propkey.h>
#include <propvarutil.h>
#include <shlobj.h>
#include <winsim/control.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <functional>

using namespace winrttest;

using Request = QMap<int, QVariant>;

namespace {

const QString k_appId = QStringLiteral("Orvex.Office.Desktop");
const QString k_lnk = QStringLiteral("SystemToastWinImpl::updateLnk");
const QString k_missing = QStringLiteral("combase.dll,propsys.dll,shell32.dll");

// Ids count from this moment, read in local time.
qint64 referenceSecs()
{
    return QDateTime(QDate(2017, 11, 5), QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch();
}

// The process-wide context never frees its skin; one made by a test must.
struct LocalContext : ToastModuleContext
{
    using ToastModuleContext::ToastModuleContext;
    ~LocalContext() { delete skin(); }
};

// What exiftool printed; empty when it failed.
QString exiftool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("exiftool"), arguments);
    const bool ran = process.waitForFinished(30000) && process.exitCode() == 0;
    return ran ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

struct Link
{
    Link()
    {
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
        if (link) {
            link.As(&file);
            link.As(&store);
        }
    }
    QString appId() const
    {
        PROPVARIANT value;
        PropVariantInit(&value);
        store->GetValue(PKEY_AppUserModel_ID, &value);
        const QString text = value.vt == VT_LPWSTR ? QString::fromWCharArray(value.pwszVal) : QString();
        PropVariantClear(&value);
        return text;
    }
    HRESULT setAppId(const QString& id) const
    {
        PROPVARIANT value;
        HRESULT hr = InitPropVariantFromString(id.toStdWString().c_str(), &value);
        if (SUCCEEDED(hr))
            hr = store->SetValue(PKEY_AppUserModel_ID, value);
        PropVariantClear(&value);
        return hr;
    }
    HRESULT load(const QString& path) const { return file->Load(path.toStdWString().c_str(), STGM_READWRITE); }

    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    ComPtr<IPropertyStore> store;
};

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

} // namespace

class TestNative : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    // First: the process's counter must be made by it.
    void processCounterStartsFromTheClock();
    void init();
    void cleanup();
    void parse_data();
    void parse();
    void seed_data();
    void seed();
    void withoutLibraries();
    void escaping_data();
    void escaping();
    void stampedShortcutIsReadByExiftool_data();
    void stampedShortcutIsReadByExiftool();
    void malformedShortcutsAreRefused_data();
    void malformedShortcutsAreRefused();
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

void TestNative::initTestCase()
{
    // A zone with daylight saving: the reference date is read in local time.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    // A private per-user programs folder: tests may run side by side.
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("user")).toLocal8Bit());
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("common"))));
    m_lnk = m_dir.filePath(QStringLiteral("common/Orvex Office.lnk"));
}

void TestNative::init()
{
    winsim::control::reset();
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    winsim::control::setFolderPath(CSIDL_COMMON_PROGRAMS, m_dir.filePath(QStringLiteral("common")));
    m_objects = winsim::control::liveObjects();
    m_strings = winsim::control::liveStrings();
}

void TestNative::cleanup()
{
    winsim::control::reset();
    winsim::control::unpinOsVersion();
    QCOMPARE(winsim::control::liveObjects(), m_objects);
    QCOMPARE(winsim::control::liveStrings(), m_strings);
}

// What a request is read as: refused, or its type, then its actions as "text|action" and its text lines.
void TestNative::parse_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QStringList>("expected");

    const QStringList line{"line"};
    QTest::newRow("type missing") << Request{{5, line}} << QStringList{"refused, type 0"};
    QTest::newRow("type a null string") << Request{{0, QString()}, {5, line}} << QStringList{"refused, type 0"};
    QTest::newRow("type a null byte array") << Request{{0, QByteArray()}, {5, line}} << QStringList{"refused, type 0"};
    QTest::newRow("type not convertible") << Request{{0, QSize(1, 2)}, {5, line}} << QStringList{"refused, type 0"};
    QTest::newRow("type an int") << Request{{0, 2}, {5, line}} << QStringList{"type 2", "line"};
    QTest::newRow("type a digit string") << Request{{0, "7"}, {5, line}} << QStringList{"type 7", "line"};
    QTest::newRow("type letters") << Request{{0, "abc"}, {5, line}} << QStringList{"type 0", "line"};
    QTest::newRow("plain lines") << Request{{0, 1}, {5, QStringList{"one", "{\"fields\":[]}"}}}
                                 << QStringList{"type 1", "one", "{\"fields\":[]}"};
    QTest::newRow("plain single string") << Request{{0, 1}, {5, "only"}} << QStringList{"type 1", "only"};
    QTest::newRow("plain not a list") << Request{{0, 1}, {5, QSize(1, 1)}} << QStringList{"type 1"};
    QTest::newRow("plain null string") << Request{{0, 1}, {5, QString()}} << QStringList{"type 1"};
    QTest::newRow("rich segments joined")
        << Request{{0, 1}, {17, 1},
                   {5, QStringList{R"({"fields":[{"text":"Open "},{"text":"the file","action":"o","click":true},null]})",
                                   R"({"fields":[{"text":12,"action":true},{"text":""}]})"}}}
        << QStringList{"type 1", "Open the file", "12"};
    // Each bad line is left out; the good ones keep their order.
    QTest::newRow("rich bad lines dropped")
        << Request{{0, 1}, {17, 1},
                   {5, QStringList{R"({"fields":{"text":"object"}})", R"({"other":[]})", "plain words",
                                   R"({"fields":[{"text":[1]}]})", R"({"fields":[{"text":"a"},{"text":"b","click":"yes"}]})",
                                   R"({"fields":[{"text":"a"},7]})", "[1,2]", R"({"fields":[{"text":"good"}]})",
                                   R"({"fields":[]} x)"}}}
        << QStringList{"type 1", "good"};
    const QString open = QStringLiteral("{\"text\":\"\u00d6ffnen\",\"action\":\"\u00fc\"}");
    QTest::newRow("actions") << Request{{0, 1}, {10, QStringList{open, "{\"text\":\"Later\",\"action\":\"later\"}"}}}
                             << QStringList{"type 1", QStringLiteral("\u00d6ffnen|\u00fc"), "Later|later"};
    QTest::newRow("unreadable actions skipped")
        << Request{{0, 1}, {10, QStringList{"Open", "12", "{\"text\":[1],\"action\":\"x\"}", "{\"text\":\"B\"}"}}}
        << QStringList{"type 1", "B|"};
    QTest::newRow("empty and null actions kept") << Request{{0, 1}, {10, QStringList{"{}", "null"}}}
                                                 << QStringList{"type 1", "|", "|"};
}

void TestNative::parse()
{
    QFETCH(Request, request);
    ToastData data;
    const bool parsed = data.parse(request);
    QStringList got{QStringLiteral("%1type %2").arg(parsed ? "" : "refused, ").arg(data.tostType())};
    for (const ToastAction& action : data.actions())
        got << action.text + QLatin1Char('|') + action.action;
    for (int i = 0; i < data.textFieldCount(); ++i)
        got << data.textField(i);
    QTEST(got, "expected");
    QCOMPARE(data.textField(-1), QString());
    QCOMPARE(data.textField(data.textFieldCount()), QString());
    // A rich line is there for every field and for nothing else; out is left alone otherwise.
    QList<ToastTextSegment> out{ToastTextSegment{"kept", "", false}};
    QVERIFY(!data.richLine(data.textFieldCount(), out));
    QCOMPARE(out.size(), 1);
    QCOMPARE(data.richLine(0, out), request.value(17) == 1 && data.textFieldCount() > 0);
}

void TestNative::seed_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<quint64>("seed");

    QTest::newRow("at the reference") << referenceSecs() << quint64(0);
    QTest::newRow("100 s before wraps") << referenceSecs() - 100 << quint64(0x3FFFFF9C);
    // 2^30 seconds later the mask brings the starting value back to 0.
    QTest::newRow("mask bites") << referenceSecs() + (qint64(1) << 30) + 5 << quint64(5);
}

void TestNative::seed()
{
    QFETCH(qint64, now);
    QFETCH(quint64, seed);
    QCOMPARE(ToastModuleContext::seedAt(now), seed);
    LocalContext context(now);
    QCOMPARE(context.nextToastId(), seed + 1);
    QCOMPARE(context.nextToastId(), seed + 2);
}

void TestNative::processCounterStartsFromTheClock()
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const quint64 first = ToastModuleContext::instance()->nextToastId();
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    // Now is far from a wrap of the 30-bit seed, so the bounds keep their order.
    QVERIFY2(first >= ToastModuleContext::seedAt(before) + 1 && first <= ToastModuleContext::seedAt(after) + 1,
             qPrintable(QString::number(first)));
    QCOMPARE(ToastModuleContext::instance()->nextToastId(), first + 1);
}

void TestNative::withoutLibraries()
{
    // The library cache lives as long as the process: a fresh one without the libraries runs the checks.
    if (qEnvironmentVariable("WINSIM_MISSING_LIBRARIES") != k_missing) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("WINSIM_MISSING_LIBRARIES"), k_missing);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"withoutLibraries"});
        QVERIFY(child.waitForFinished(30000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitCode() == 0 && output.contains("PASS   : TestNative::withoutLibraries()"), output.constData());
        return;
    }
    auto* sentinel = reinterpret_cast<IToastNotificationManagerStatics*>(quintptr(0x5a5a));
    IToastNotificationManagerStatics* factory = sentinel;
    QCOMPARE(getActivationFactory<IToastNotificationManagerStatics>(
                 RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &factory),
             E_FAIL);
    QCOMPARE(factory, sentinel);
    QCOMPARE(HstringWrapper(QStringLiteral("text"), false).get(), static_cast<HSTRING>(nullptr));
    QCOMPARE(HstringWrapper(QStringLiteral("text"), true).get(), static_cast<HSTRING>(nullptr));
    QVERIFY(HstringWrapper(static_cast<HSTRING>(nullptr)).toWString().empty());

    // The identity code asks nothing of a library that is not there; a configured id needs none.
    winsim::control::setProcessAppUserModelId(QStringLiteral("Process.Id"));
    SystemToastWinImpl service;
    QCOMPARE(service.getUsefulAppUserModelId(QStringLiteral("Orvex.Office")), QStringLiteral("Orvex.Office"));
    LogCapture log;
    QCOMPARE(service.getUsefulAppUserModelId(QString()), QString());
    winsim::control::setCallTraceEnabled(true);
    service.updateLnk({{"startMenuLnkPath", "/nonexistent/Orvex.lnk"}, {"appName", "Orvex"}});
    winsim::control::setCallTraceEnabled(false);
    QCOMPARE(log.lines(), testdata::lines("nativeservice.txt", "without the runtime libraries log"));
    QVERIFY(!winsim::control::callTrace().contains(QStringLiteral("CoCreateInstance")));
}

void TestNative::escaping_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("asText");
    QTest::addColumn<QString>("asAttribute");
    QTest::newRow("ampersand") << "a&b" << "a&amp;b" << "a&amp;b";
    QTest::newRow("angle brackets") << "<b>x</b>" << "&lt;b&gt;x&lt;/b&gt;" << "&lt;b&gt;x&lt;/b&gt;";
    QTest::newRow("quotes") << "say \"hi\" it's" << "say \"hi\" it's" << "say &quot;hi&quot; it's";
    QTest::newRow("already escaped") << "&amp;" << "&amp;amp;" << "&amp;amp;";
    QTest::newRow("injection attempt") << "\"/><image src=\"x" << "\"/&gt;&lt;image src=\"x" << "&quot;/&gt;&lt;image src=&quot;x";
    // A reader turns a raw line break or tab in an attribute into a space.
    QTest::newRow("line break, tab, non-latin") << "one\ntwo\tGrüße \U0001F600" << "one\ntwo\tGrüße \U0001F600"
                                                << "one&#xA;two&#x9;Grüße \U0001F600";
    // The host's text may hold what XML cannot; written raw, the document could not be read back.
    for (const QChar c : {QChar(0x0B), QChar(0x07), QChar(0x1B), QChar(0x00), QChar(0xFFFE), QChar(0xFFFF)})
        QTest::addRow("U+%04X", c.unicode()) << "a" + QString(c) + "b" << "a\uFFFDb" << "a\uFFFDb";
}

// Through the builders, into a text and an attribute; read back by a reader of its own, as the desktop's road does.
void TestNative::escaping()
{
    QFETCH(QString, value);
    QFETCH(QString, asText);
    QFETCH(QString, asAttribute);
    ComPtr<IXmlDocument> doc = templateDocument(4);
    QCOMPARE(setTextField(doc.Get(), value, 0), S_OK);
    QCOMPARE(addAction(doc.Get(), "A", value), S_OK);
    const QString xml = xmlOf(doc);
    QCOMPARE(xml, QStringLiteral("<toast template=\"ToastGeneric\" duration=\"long\"><visual>"
                                 "<binding template=\"ToastText01\"><text id=\"1\">%1</text></binding></visual>"
                                 "<actions><action content=\"A\" arguments=\"%2\"/></actions></toast>")
                      .arg(asText, asAttribute));
    // The same value, but for what XML cannot hold.
    QXmlStreamReader reader(xml);
    QStringList read;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("text"))
            read << reader.readElementText();
        else if (reader.isStartElement() && reader.name() == QLatin1String("action"))
            read << reader.attributes().value(QLatin1String("arguments")).toString();
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    const QString expected = asText.contains(QChar::ReplacementCharacter) ? asText : value;
    QCOMPARE(read, QStringList({expected, expected}));
}

// The module stamps a shortcut as a shell wrote it: an outside reader still reads all it read before, and the id's
// block with the size the file gives it; the id is read back, and stays when a change is saved without a commit.
void TestNative::stampedShortcutIsReadByExiftool_data()
{
    QTest::addColumn<QString>("appId");
    QTest::newRow("ascii") << "Vendor.Suite.Main";
    QTest::newRow("non-ascii, long") << "Büro.Suite.Ünïcode." + QString(80, QLatin1Char('x'));
}

void TestNative::stampedShortcutIsReadByExiftool()
{
    QFETCH(QString, appId);
    const auto tagsOf = [this] {
        QJsonObject tags = QJsonDocument::fromJson(exiftool({"-j", "-a", m_lnk}).toUtf8()).array().first().toObject();
        for (const char* file : {"SourceFile", "FileName", "Directory", "FileSize", "FilePermissions"})
            tags.remove(QLatin1String(file));
        for (const char* date : {"FileModifyDate", "FileAccessDate", "FileInodeChangeDate"})
            tags.remove(QLatin1String(date));
        return tags;
    };
    QVERIFY(writeFile(m_lnk, shortcutbytes::shellStyleShortcut()));
    const QJsonObject before = tagsOf();
    QCOMPARE(before.value(QLatin1String("FileType")).toString(), QStringLiteral("LNK"));
    QVERIFY(SystemToastWinImpl().init({{"appUserModeId", appId}, {"startMenuLnkPath", m_lnk}}));
    const QByteArray bytes = readFile(m_lnk);
    QCOMPARE(shortcutbytes::stringProperty(bytes, shortcutbytes::appUserModelFormat(), 5), appId);
    QCOMPARE(tagsOf(), before);
    const QString blocks = exiftool({QStringLiteral("-v2"), m_lnk});
    const int storeSize = shortcutbytes::extraBlocks(bytes).last().size();
    QVERIFY2(blocks.contains(QStringLiteral("Tag 0xa0000009 (%1 bytes)").arg(storeSize)), qPrintable(blocks));
    Link again;
    QCOMPARE(again.load(m_lnk), S_OK);
    QCOMPARE(again.appId(), appId);
    // A change not committed is not saved.
    QCOMPARE(again.setAppId(QStringLiteral("Not.Committed")), S_OK);
    QCOMPARE(again.file->Save(m_lnk.toStdWString().c_str(), TRUE), S_OK);
    QCOMPARE(shortcutbytes::stringProperty(readFile(m_lnk), shortcutbytes::appUserModelFormat(), 5), appId);
}

void TestNative::malformedShortcutsAreRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray good = shortcutbytes::shellStyleShortcut();
    const auto patched = [&good](int at, const QByteArray& bytes) {
        return QByteArray(good).replace(at, bytes.size(), bytes);
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated header") << good.left(40);
    QTest::newRow("wrong class id") << patched(4, "\x02");
    QTest::newRow("id list past end") << patched(0x4C, "\xFF\xFF");
    // The tracker block's size, just before its signature.
    QTest::newRow("extra block past end") << patched(good.indexOf(QByteArray::fromHex("030000a0")) - 3, "\x7F");
    QTest::newRow("bad property storage") << patched(good.indexOf("1SPS"), "X");
    QTest::newRow("cut in the strings") << good.left(good.indexOf(QByteArray("-\0-\0p", 5)));
}

void TestNative::malformedShortcutsAreRefused()
{
    QFETCH(QByteArray, data);
    const QString path = m_dir.filePath(QStringLiteral("bad.lnk"));
    QVERIFY(writeFile(path, data));
    Link l;
    QCOMPARE(l.load(path), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
}

// Runs once to learn the calls made, then again for each of them failing; entry names the golden list of
// outcomes. Every fault must be reached, and leave nothing behind.
void TestNative::sweep(const Run& run, const QString& entry)
{
    QVector<Fault> faults{Fault()}; // none: the run that traces the calls
    QStringList outcomes;
    for (int i = 0; i < faults.size(); ++i) {
        const Fault fault = faults[i];
        const QString kind = fault.nullResult ? "null" : "fail";
        QString outcome = QStringLiteral("%1 #%2 %3").arg(fault.call).arg(fault.skip).arg(kind);
        if (i == 0)
            outcome = QStringLiteral("no fault");
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

void TestNative::initCalls_data()
{
    QTest::addColumn<QVariantMap>("config");
    QTest::newRow("configured shortcut, process id") << QVariantMap{{"startMenuLnkPath", m_lnk}};
    QTest::newRow("shortcut found by application name") << QVariantMap{{"appName", "Orvex Office"}};
}

void TestNative::initCalls()
{
    QFETCH(QVariantMap, config);
    sweep([&](const std::function<void(bool)>& arm, QString& outcome) {
        QVERIFY(writeFile(m_lnk, shortcutbytes::shellStyleShortcut()));
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
        const QByteArray now = readFile(m_lnk);
        const QString stamped = shortcutbytes::stringProperty(now, shortcutbytes::appUserModelFormat(), 5);
        QVERIFY2(now == shortcutbytes::shellStyleShortcut() || stamped == service.appUserModelId(), qPrintable(outcome));
        const bool shows = service.showToast({{0, 0}, {5, "a"}}, {}) != 0;
        outcome += QStringLiteral(" | %1 | id %2, shortcut %3, toasts %4")
                       .arg(errorsIn(lines), service.appUserModelId(), stamped.isNull() ? "kept" : "stamped",
                            shows ? "shown" : "refused");
    }, "init: " + QString::fromLatin1(QTest::currentDataTag()));
}

// Per fault: what became of the toast, what was logged as failed and the line showToast closed on.
void TestNative::showCalls()
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

void TestNative::hideCalls()
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
        const QString lines = log.lines().filter("SystemToastWinImpl::hideToast").join(" / ");
        outcome += QStringLiteral(" | %1 | %2, heard %3").arg(lines, hidden ? "hidden" : "not hidden").arg(heard);
    }, "hide");
}

QTEST_GUILESS_MAIN(TestNative)
#include "tst_native.moc"
