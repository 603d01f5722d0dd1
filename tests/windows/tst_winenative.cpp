// The native road on a Windows runtime: the module's unchanged DLL, loaded by
// its three exports, meets the simulated notification classes registered as a
// runtime component (winsimcomponent.dll) through the system's own activation.
// Run under Wine by tests/windows/run.sh.
#include "callbackhost.h"
#include "componentclient.h"
#include "isystemnotifytoast.h"
#include "modulelibrary.h"
#include "nativedocumentrows.h"
#include "recordinglistener.h"
#include "testdata.h"
#include "umxloggerlite.h"

#include <windows.h>
#include <shlobj.h>

#include <QtTest>

using Request = QMap<int, QVariant>;

namespace {

const QString k_appId = QStringLiteral("Orvex.Office.Desktop");
const int k_eventWaitMs = 10000;
const QString k_activatedHandler = QStringLiteral("SystemToastNotify::attachActivated::<lambda>::operator ()");

QString line(const QString& where, const QString& message)
{
    return QStringLiteral("call %1 : %2").arg(where, message);
}

// Every line the module logs, with the thread it was written on.
class LogCapture
{
public:
    LogCapture()
    {
        UmxLoggerLite::setSink([this](const std::wstring&, const std::wstring& text) {
            QMutexLocker lock(&m_mutex);
            m_lines.append({QString::fromStdWString(text), GetCurrentThreadId()});
        });
    }
    ~LogCapture() { UmxLoggerLite::setSink({}); }

    QStringList lines(DWORD onlyThread = 0) const
    {
        QMutexLocker lock(&m_mutex);
        QStringList out;
        for (const auto& entry : m_lines)
            if (onlyThread == 0 || entry.second == onlyThread)
                out << entry.first;
        return out;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_lines.clear();
    }

private:
    mutable QMutex m_mutex;
    QVector<QPair<QString, DWORD>> m_lines;
};

} // namespace

class TestWineNative : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void initLog();
    void identitySteps_data();
    void identitySteps();
    void shownDocument_data();
    void shownDocument();
    void secondButton();
    void bodyClick();
    void outcomes_data();
    void outcomes();
    void hide();
    void callBackFromReport_data();
    void callBackFromReport();
    void unloadWhileToastUp();

private:
    // Lets every event raised so far reach the handlers and then the listener.
    bool settle();

    ModuleLibrary m_module;
    WinsimComponent m_component;
    ISystemNotifyToast* m_service = nullptr;
    std::shared_ptr<RecordingListener> m_listener;
    LogCapture* m_log = nullptr;
};

void TestWineNative::initTestCase()
{
    QVERIFY2(m_module.isLoaded(), qPrintable(m_module.errorString()));
    QVERIFY(m_module.isSupported());
    // The component is loaded by the first activation, which init makes.
    ISystemNotifyToast* service = m_module.create(false);
    QStringList initLines;
    {
        LogCapture log;
        QVERIFY(service->init({{QStringLiteral("appUserModeId"), k_appId}}));
        initLines = log.lines();
    }
    m_module.destroy(service);
    const QString missing = QStringLiteral("winsimcomponent.dll was not activated, or lacks its control entries; init logged:\n")
                            + initLines.join(QLatin1Char('\n'));
    QVERIFY2(m_component.find(), qPrintable(missing));
    QVERIFY(m_component.eventThreadId() != 0);
    QVERIFY(m_component.eventThreadId() != GetCurrentThreadId());
}

void TestWineNative::init()
{
    m_log = new LogCapture;
    m_listener = std::make_shared<RecordingListener>();
    m_service = m_module.create(false);
    QVERIFY(m_service->init({{QStringLiteral("appUserModeId"), k_appId}}));
}

void TestWineNative::cleanup()
{
    QVERIFY(settle());
    m_module.destroy(m_service);
    m_service = nullptr;
    delete m_log;
    m_log = nullptr;
}

bool TestWineNative::settle()
{
    if (!m_component.waitForEvents(k_eventWaitMs))
        return false;
    QCoreApplication::sendPostedEvents();
    return true;
}

// init's lines, shortcut steps included, are the Linux transcript: Wine's shell link refuses
// the missing file with the same ERROR_PATH_NOT_FOUND.
void TestWineNative::initLog()
{
    QCOMPARE(m_log->lines(), testdata::lines(QStringLiteral("nativeservice.txt"), QStringLiteral("init")));
}

// A shortcut as Wine's own shell writes one (it carries no application id).
bool makeShortcut(const QString& path)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool saved = SUCCEEDED(link->SetPath(reinterpret_cast<const wchar_t*>(QCoreApplication::applicationFilePath().utf16())))
                 && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))
                 && SUCCEEDED(file->Save(reinterpret_cast<const wchar_t*>(path.utf16()), TRUE));
    if (file)
        file->Release();
    link->Release();
    return saved;
}

// The identity steps of init against Wine's shell: it has no explicit process id to give
// (E_NOTIMPL, so no id and no line) and its shell link reads no property (E_NOTIMPL at
// GetValue, which ends the shortcut step). init still answers true and keeps the configured id.
void TestWineNative::identitySteps_data()
{
    const QString lnk = QDir::toNativeSeparators(QDir::tempPath() + QStringLiteral("/Orvex Office.lnk"));
    const QString getValue = QStringLiteral("call propertyStore->GetValue(PKEY_AppUserModel_ID, &appIdPropVar) : error result = -2147467263");
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("shortcut made by the shell") << k_appId << lnk
        << QStringList{line("SystemToastWinImpl::getUsefulAppUserModelId", "default Aumi:" + k_appId),
                       line("SystemToastWinImpl::updateLnk", "begin"), line("SystemToastWinImpl::updateLnk", "default lnk:" + lnk),
                       line("SystemToastWinImpl::updateLnk", "last lnk:" + lnk), getValue, line("SystemToastWinImpl::updateLnk", "end")};
    QTest::newRow("no configured id") << QString() << lnk
        << QStringList{line("SystemToastWinImpl::getUsefulAppUserModelId", "default Aumi:"),
                       line("SystemToastWinImpl::updateLnk", "begin"), line("SystemToastWinImpl::updateLnk", "default lnk:" + lnk),
                       line("SystemToastWinImpl::updateLnk", "last lnk:" + lnk), getValue, line("SystemToastWinImpl::updateLnk", "end")};
}

void TestWineNative::identitySteps()
{
    QFETCH(QString, configured);
    QFETCH(QString, shortcut);
    QFETCH(QStringList, expected);
    QVERIFY(makeShortcut(shortcut));
    ISystemNotifyToast* service = m_module.create(false);
    m_log->clear();
    const bool initialised = service->init({{QStringLiteral("appUserModeId"), configured}, {QStringLiteral("startMenuLnkPath"), shortcut}});
    const QStringList got = m_log->lines();
    // Without an id the platform refuses a notifier: the toast is not shown.
    const quint64 id = service->showToast({{0, 0}, {5, QStringList{"a"}}}, m_listener);
    m_module.destroy(service);
    QVERIFY(initialised);
    QCOMPARE(got, QStringList{line("SystemToastWinImpl::init", "init")} + expected);
    QCOMPARE(id != 0, !configured.isEmpty());
    if (id != 0)
        QCOMPARE(m_component.last().appId, configured);
}

// The document the component received and the module's log, against the Linux golden files.
void TestWineNative::shownDocument_data()
{
    addNativeDocumentRows();
}

void TestWineNative::shownDocument()
{
    QFETCH(Request, request);
    const int before = m_component.count();
    m_log->clear();
    const quint64 id = m_service->showToast(request, m_listener);
    const QString golden = testdata::text(QStringLiteral("nativeservice.txt"), QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(id != 0, !golden.isEmpty());
    QCOMPARE(m_component.count(), before + (id != 0 ? 1 : 0));
    if (id != 0) {
        const WinsimComponent::Shown shown = m_component.last();
        QCOMPARE(shown.xml, golden);
        QCOMPARE(shown.appId, k_appId);
        QVERIFY(shown.onScreen);
    }
    QStringList expected = testdata::lines(QStringLiteral("nativeservice.txt"), QString::fromLatin1(QTest::currentDataTag()) + " log");
    QCOMPARE(m_log->lines(), expected.replaceInStrings(QStringLiteral("$ID"), QString::number(id)));
}

// The second button: one listener call with index 1, on this (the GUI) thread, while the
// handler ran on the component's event thread.
void TestWineNative::secondButton()
{
    const quint64 id = m_service->showToast(fullNativeExample(), m_listener);
    QVERIFY(id != 0);
    m_log->clear();
    QVERIFY(m_component.raiseActivated(m_component.last().key, L"dismiss"));
    QTRY_COMPARE(m_listener->count(), 1);
    QVERIFY(settle());
    QCOMPARE(m_listener->heard(id), QStringList{"activated 1 1 dismiss"});
    const QStringList handlerLines = m_log->lines(m_component.eventThreadId());
    QCOMPARE(handlerLines, QStringList{line(k_activatedHandler, "call lambda string : dismiss")});
    QCOMPARE(m_log->lines(GetCurrentThreadId()), QStringList{line("SystemToastNotify::onActivated", "action : dismiss")});
}

// A click on the body carries empty arguments: logged on both threads, reported to nobody.
void TestWineNative::bodyClick()
{
    const quint64 id = m_service->showToast(fullNativeExample(), m_listener);
    QVERIFY(id != 0);
    m_log->clear();
    QVERIFY(m_component.raiseActivated(m_component.last().key, L""));
    QVERIFY(settle());
    QTRY_COMPARE(m_log->lines().size(), 2);
    QCOMPARE(m_listener->count(), 0);
    QCOMPARE(m_log->lines(m_component.eventThreadId()), QStringList{line(k_activatedHandler, "call lambda string : ")});
    QCOMPARE(m_log->lines(GetCurrentThreadId()), QStringList{line("SystemToastNotify::onActivated", "action : ")});
}

void TestWineNative::outcomes_data()
{
    QTest::addColumn<bool>("failure");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("heard");
    QTest::newRow("closed by the user") << false << 0 << "dismissed 0";
    QTest::newRow("hidden by the application") << false << 1 << "dismissed 1";
    QTest::newRow("timed out") << false << 2 << "dismissed 2";
    QTest::newRow("unknown reason") << false << 7 << "dismissed 0";
    QTest::newRow("failure") << true << int(0x80070490) << "failed -2147023728";
}

void TestWineNative::outcomes()
{
    QFETCH(bool, failure);
    QFETCH(int, value);
    QFETCH(QString, heard);
    const quint64 id = m_service->showToast({{0, 0}, {5, QStringList{"a"}}}, m_listener);
    QVERIFY(id != 0);
    const UINT64 key = m_component.last().key;
    QVERIFY(failure ? m_component.raiseFailed(key, value) : m_component.raiseDismissed(key, value));
    QTRY_COMPARE(m_listener->count(), 1);
    QCOMPARE(m_listener->heard(id), QStringList{heard});
    QVERIFY(!m_component.last().onScreen);
}

// hideToast takes the toast off the screen through the notifier's Hide, reports one dismissal
// (reason 0), keeps the id known, and leaves no handler referenced once the platform lets go.
void TestWineNative::hide()
{
    const quint64 id = m_service->showToast({{0, 0}, {5, QStringList{"a"}}}, m_listener);
    QVERIFY(id != 0);
    const int keptAlive = m_component.handlersKeptAlive();
    QVERIFY(m_service->hideToast(id));
    QVERIFY(!m_component.last().onScreen);
    QVERIFY(m_service->isToastExist(id));
    QVERIFY(settle());
    // The platform's own "hidden by the application" event comes after the handlers are gone.
    QCOMPARE(m_listener->heard(id), QStringList{"dismissed 0"});
    QCOMPARE(m_component.handlersKeptAlive(), keptAlive);
    QVERIFY(!m_service->hideToast(id + 1000));
}

void TestWineNative::callBackFromReport_data()
{
    addCallbackRows({QStringLiteral("native")});
}

// A listener that calls the service back, or deletes it, from inside each report of the component's events.
void TestWineNative::callBackFromReport()
{
    const auto raise = [this](const QString& trigger) {
        const UINT64 key = m_component.last().key;
        if (trigger == QLatin1String("activated"))
            return m_component.raiseActivated(key, L"open") != FALSE;
        return (trigger == QLatin1String("failed") ? m_component.raiseFailed(key, E_FAIL) : m_component.raiseDismissed(key, 2)) != FALSE;
    };
    runCallbackRow(m_module, raise, [this] { return settle(); });
}

// The host frees the module while a toast is up; the platform still holds the toast's
// handlers and raises a dismissal. Run in a child process: the failure is a crash.
void TestWineNative::unloadWhileToastUp()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--unload-child")});
    QVERIFY(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    const QString ended = QStringLiteral("child ended with status %1, code 0x%2: %3")
                              .arg(child.exitStatus()).arg(quint32(child.exitCode()), 0, 16).arg(output);
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(ended));
    QVERIFY2(output.contains(QLatin1String("host lives on")), qPrintable(ended));
}

namespace {

// The child of unloadWhileToastUp: show, delete the service, free the library, raise.
int unloadChild()
{
    ModuleLibrary library;
    ISystemNotifyToast* service = library.isLoaded() ? library.create(false) : nullptr;
    if (!service)
        return 11;
    service->init({{QStringLiteral("appUserModeId"), k_appId}});
    auto listener = std::make_shared<RecordingListener>();
    if (service->showToast({{0, 0}, {5, QStringList{"a"}}}, listener) == 0)
        return 12;
    library.destroy(service);
    library.unload();
    WinsimComponent component;
    if (!component.find())
        return 13;
    component.raiseDismissed(component.last().key, 0);
    if (!component.waitForEvents(k_eventWaitMs))
        return 14;
    QCoreApplication::processEvents();
    component.clear(); // the notification goes, and with it the handlers
    std::printf("host lives on, listener calls: %d\n", listener->count());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The host's GUI thread has COM initialised before it loads the module.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 20;
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--unload-child")))
        return unloadChild();
    TestWineNative test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_winenative.moc"
