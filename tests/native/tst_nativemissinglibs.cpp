// Guards against a crash or a wrong id when propsys.dll and shell32.dll cannot be loaded.
#include "systemtoastwinimpl.h"

#include "logcapture.h"

#include <winsim/control.h>

#include <QtTest>

class TestNativeMissingLibs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void processIdCannotBeAsked();
    void shortcutIsNotOpened();
};

void TestNativeMissingLibs::initTestCase()
{
    winsim::control::reset();
    // Before anything of this process loads them.
    winsim::control::setLibraryMissing(QStringLiteral("propsys.dll"), true);
    winsim::control::setLibraryMissing(QStringLiteral("shell32.dll"), true);
    winsim::control::setProcessAppUserModelId(QStringLiteral("Process.Id"));
}

void TestNativeMissingLibs::processIdCannotBeAsked()
{
    SystemToastWinImpl service;
    LogCapture log;
    QCOMPARE(service.getUsefulAppUserModelId(QString()), QString());
    QCOMPARE(log.lines(), (QStringList{"call SystemToastWinImpl::getUsefulAppUserModelId : default Aumi:",
                                       "call SystemToastWinImpl::getUsefulAppUserModelId : get getAppUserModelIDFun failed"}));
    // A configured id needs no library.
    QCOMPARE(service.getUsefulAppUserModelId(QStringLiteral("Orvex.Office")), QStringLiteral("Orvex.Office"));
}

void TestNativeMissingLibs::shortcutIsNotOpened()
{
    SystemToastWinImpl service;
    LogCapture log;
    winsim::control::setCallTraceEnabled(true);
    service.updateLnk({{"startMenuLnkPath", "/nonexistent/Orvex.lnk"}, {"appName", "Orvex"}});
    winsim::control::setCallTraceEnabled(false);
    QCOMPARE(log.lines(), (QStringList{"call SystemToastWinImpl::updateLnk : begin",
                                       "call SystemToastWinImpl::updateLnk : get PropVariantToStringFun failed",
                                       "call SystemToastWinImpl::updateLnk : end"}));
    QVERIFY(!winsim::control::callTrace().contains(QStringLiteral("CoCreateInstance")));
}

QTEST_GUILESS_MAIN(TestNativeMissingLibs)
#include "tst_nativemissinglibs.moc"
