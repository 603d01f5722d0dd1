// Guards a host that unloads the module after deleteSystemNotifyToast while native toasts are still out:
// the platform's later events for them must not call into code that is gone.
#include "isystemnotifytoast.h"

#include "modulelibrary.h"
#include "recordinglistener.h"

#include <winsim/control.h>

#include <QtTest>

class TestModuleUnload : public QObject
{
    Q_OBJECT
private slots:
    void eventsAfterTheHostUnloadedTheModule();
};

void TestModuleUnload::eventsAfterTheHostUnloadedTheModule()
{
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    {
        // The only load of the module in this process: the unload is the last reference going.
        ModuleLibrary module;
        QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
        ISystemNotifyToast* service = module.create(false);
        QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office")}}));
        auto listener = std::make_shared<RecordingListener>();
        QVERIFY(service->showToast({{0, 1}, {5, QStringList{QStringLiteral("a")}}}, listener) != 0);
        QVERIFY(service->showToast({{0, 1}, {5, QStringList{QStringLiteral("b")}}}, listener) != 0);
        module.destroy(service);
        QVERIFY2(module.unload(), qPrintable(module.errorString()));
    }
    const auto shown = winsim::control::shownToasts();
    QCOMPARE(shown.size(), 2);
    // The user clicks one and closes the other; the platform fails the second too.
    QVERIFY(winsim::control::raiseActivated(shown[0].key, QString()));
    QVERIFY(winsim::control::raiseDismissed(shown[1].key, 0));
    QVERIFY(winsim::control::raiseFailed(shown[1].key, -2147467259));
    QVERIFY(winsim::control::waitForPlatformEvents());
    QCoreApplication::sendPostedEvents();
}

QTEST_GUILESS_MAIN(TestModuleUnload)
#include "tst_moduleunload.moc"
