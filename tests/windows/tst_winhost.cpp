// Guards the module as a Windows host meets it: loaded by its three exports from
// the folder build-windows.sh lays out, COM initialised on the GUI thread, the
// system's own runtime underneath. Each case wants a fresh Wine prefix of the
// Windows version it names (tests/windows/run.sh).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <objbase.h>

#include "callbackhost.h"
#include "hostilerequests.h"
#include "isystemnotifytoast.h"
#include "modulelibrary.h"
#include "recordinglistener.h"
#include "umxloggerlite.h"

#include <QApplication>
#include <QOperatingSystemVersion>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

bool windows10OrLater()
{
    return QOperatingSystemVersion::current() >= QOperatingSystemVersion::Windows10;
}

// The module's lines in the host kit's log file, without their time stamps.
QStringList moduleLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const int message = line.indexOf(QLatin1String("] call "));
        if (message >= 0)
            lines << line.mid(message + 2);
    }
    return lines;
}

} // namespace

class TestWinHost : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nativeRefusedWithoutRuntimeClasses();
    void hostileRequests_data();
    void hostileRequests();
    void callBackFromReport_data();
    void callBackFromReport();

private:
    QTemporaryDir m_scratch;
    QString m_logFile;
};

void TestWinHost::init()
{
    m_logFile = m_scratch.filePath(QStringLiteral("host.log"));
    QFile::remove(m_logFile);
    UmxLoggerLite::setLogFile(m_logFile);
}

void TestWinHost::cleanup()
{
    UmxLoggerLite::setLogFile(QString());
}

// Windows 10 without the notification classes (as Wine has it): the service
// says why in the log and refuses every toast, and nobody is told anything.
void TestWinHost::nativeRefusedWithoutRuntimeClasses()
{
    if (!windows10OrLater())
        QFAIL("this case wants a Windows 10 prefix");
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    QVERIFY(module.isSupported());
    ISystemNotifyToast* service = module.create(false);
    QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Test")}}));
    const int initLines = moduleLines(m_logFile).size();
    auto listener = std::make_shared<RecordingListener>();
    const quint64 id = service->showToast({{0, 1}, {5, QStringList{"Title", "Body"}}}, listener);
    QCoreApplication::processEvents();
    module.destroy(service);

    const QStringList lines = moduleLines(m_logFile);
    const QString activation = QStringLiteral(
        "call getActivationFactory<IToastNotificationManagerStatics>( RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, "
        "&m_notifyManager) : error result = %1").arg(qint32(REGDB_E_CLASSNOTREG));
    QVERIFY2(lines.mid(0, initLines).contains(activation), qPrintable(lines.join('\n')));
    QCOMPARE(lines.mid(initLines), (QStringList{"call SystemToastWinImpl::showToast : begin",
                                                "call SystemToastWinImpl::showToast : notifymanager is null",
                                                "call SystemToastWinImpl::showToast : end id = 0"}));
    QCOMPARE(id, quint64(0));
    QCOMPARE(listener->count(), 0);
}

void TestWinHost::hostileRequests_data()
{
    addHostileRequestRows();
}

// On the service the facade picks for this Windows, and on popups: each request
// is taken, shown or refused, and the host lives on.
void TestWinHost::hostileRequests()
{
    QFETCH(Request, request);
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    auto listener = std::make_shared<RecordingListener>();
    for (bool appDrawn : {false, true}) {
        ISystemNotifyToast* service = module.create(appDrawn);
        QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Test")}}));
        const quint64 id = service->showToast(request, listener);
        // Native toasts are refused here (no runtime classes); the tray and popups show.
        const bool shown = appDrawn || !windows10OrLater();
        QCOMPARE(service->isToastExist(id), shown);
        QCOMPARE(service->updateToast(id, request), appDrawn);
        QCOMPARE(service->hideToast(id), shown);
        module.destroy(service);
        QCoreApplication::processEvents();
    }
}

void TestWinHost::callBackFromReport_data()
{
    addCallbackRows({QStringLiteral("popup")});
}

// A listener that calls the service back, or deletes it, from inside each report of a clicked or timed-out popup.
void TestWinHost::callBackFromReport()
{
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    runCallbackRow(module, {}, [] { return true; });
}

int main(int argc, char* argv[])
{
    // A host's duty: the module calls the runtime from this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestWinHost test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_winhost.moc"
