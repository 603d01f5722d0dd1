// Guards the module as a Windows host meets it: loaded by its three exports from
// the folder build-windows.sh lays out, COM initialised on the GUI thread, the
// system's own runtime underneath (Windows 7 or 10 as tests/windows/run.sh sets it).
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

#include <QApplication>
#include <QOperatingSystemVersion>
#include <QtTest>

#include <memory>

class TestWinHost : public QObject
{
    Q_OBJECT
private slots:
    void hostileRequests_data();
    void hostileRequests();
    void callBackFromReport_data();
    void callBackFromReport();
};

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
        const bool shown = appDrawn || QOperatingSystemVersion::current() < QOperatingSystemVersion::Windows10;
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
