// Guards what a host sees first: three exports, support from Windows 10 build 10240, the service picked, delete of null.
#include "applicationtoastimpl.h"
#include "oldsystemnotifytoastwinimpl.h"
#include "systemtoastwinimpl.h"
#include "vantortoastwrapper.h"

#include "modulelibrary.h"

#include <winsim/control.h>

#include <QtTest>

class TestFront : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void exportsExactlyThreeFunctions();
    void supportFollowsVersion_data();
    void supportFollowsVersion();
    void facadePicksService_data();
    void facadePicksService();
    void deleteIgnoresNull();
};

void TestFront::cleanup()
{
    winsim::control::unpinOsVersion();
}

void TestFront::exportsExactlyThreeFunctions()
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {"-D", "--defined-only", QStringLiteral(SNT_MODULE_FILE)});
    QVERIFY(nm.waitForFinished(30000));
    QCOMPARE(nm.exitCode(), 0);
    QStringList symbols;
    for (const QByteArray& line : nm.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3)
            symbols << QString::fromLatin1(fields[1] + ' ' + fields[2]);
    }
    symbols.sort();
    QCOMPARE(symbols, (QStringList{"T createSystemNotifyToast", "T deleteSystemNotifyToast", "T isSupportSystemToast"}));
}

void TestFront::supportFollowsVersion_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("supported");
    QTest::newRow("not windows") << "" << false;
    QTest::newRow("8.1") << "6.3.9600" << false;
    QTest::newRow("10 preview build") << "10.0.10239" << false;
    QTest::newRow("10 first release") << "10.0.10240" << true;
    QTest::newRow("11") << "10.0.22000" << true;
}

void TestFront::supportFollowsVersion()
{
    QFETCH(QString, version);
    QFETCH(bool, supported);
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    winsim::control::pinOsVersion(QVersionNumber::fromString(version));
    QCOMPARE(module.isSupported(), supported);
}

void TestFront::facadePicksService_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("appDrawn");
    QTest::addColumn<QString>("service");

    QTest::newRow("linux, no server") << "" << false << "tray";
    QTest::newRow("8.1") << "6.3.9600" << false << "tray";
    QTest::newRow("10 preview build") << "10.0.10239" << false << "native";
    QTest::newRow("10") << "10.0.10240" << false << "native";
    QTest::newRow("11") << "10.0.22000" << false << "native";
    QTest::newRow("8.1, app drawn") << "6.3.9600" << true << "popup";
    QTest::newRow("11, app drawn") << "10.0.22000" << true << "popup";
    QTest::newRow("not windows, app drawn") << "" << true << "popup";
}

void TestFront::facadePicksService()
{
    QFETCH(QString, version);
    QFETCH(bool, appDrawn);
    QFETCH(QString, service);
    winsim::control::pinOsVersion(QVersionNumber::fromString(version));
    VantorToastWrapper facade(appDrawn);
    ISystemNotifyToast* impl = facade.implementation();
    QString kind = QStringLiteral("none");
    if (dynamic_cast<OldSystemNotifyToastWinImpl*>(impl))
        kind = QStringLiteral("tray");
    else if (dynamic_cast<ApplicationToastImpl*>(impl))
        kind = QStringLiteral("popup");
    else if (dynamic_cast<SystemToastWinImpl*>(impl))
        kind = QStringLiteral("native");
    else if (impl)
        kind = QString::fromLatin1(typeid(*impl).name());
    QCOMPARE(kind, service);
}

void TestFront::deleteIgnoresNull()
{
    ModuleLibrary module;
    QVERIFY(module.isLoaded());
    module.destroy(nullptr);
    module.destroy(nullptr);
    ISystemNotifyToast* service = module.create(false);
    QVERIFY(service);
    module.destroy(service);
}

QTEST_MAIN(TestFront)
#include "tst_front.moc"
