// Guards finding the add-on the host loaded by name, one disk search per process, and theme switches announced.
// The lookup keeps its answers for the whole process, so this walks one process's life in order.
#include "orvexcloudskinproxy.h"
#include "toastskinresources.h"
#include "umplugintesting.h"
#include "umskin.h"
#include "zandrtesting.h"

#include <winsim/control.h>

#include <QLibrary>
#include <QTemporaryDir>
#include <QtTest>

class TestCloudSkinLookup : public QObject
{
    Q_OBJECT
private slots:
    void lookupLifeOfAProcess();
};

void TestCloudSkinLookup::lookupLifeOfAProcess()
{
    const QString addonDir = QStringLiteral(SNT_BINARY_DIR "/addons/orvexcloudskin");
    QVERIFY2(QFileInfo::exists(addonDir + "/version.tag"), "the add-on is built beside the tests");

    // 1. Nothing installed where the host says: no proxy.
    QTemporaryDir empty;
    umpluginconfig::testing::setPluginPath("orvexcloudskin", empty.filePath("plugins/cloud"));
    zandr::testing::setFrameworks(empty.filePath("fw"));
    zandr::testing::setOfficeInstallRoot(empty.filePath("office"));
    const int searchesBefore = umpluginconfig::testing::lookups();
    QVERIFY(!cloudSkinProxy());
    QCOMPARE(umpluginconfig::testing::lookups(), searchesBefore + 1);

    // 2. Installed afterwards: the failed search is not repeated, so still nothing.
    umpluginconfig::testing::setPluginPath("orvexcloudskin", addonDir);
    zandr::testing::setFrameworks(QString());
    zandr::testing::setOfficeInstallRoot(QString());
    const int runtimeCalls = zandr::testing::calls();
    QVERIFY(!cloudSkinProxy());
    QCOMPARE(umpluginconfig::testing::lookups(), searchesBefore + 1);
    QCOMPARE(zandr::testing::calls(), runtimeCalls);

    // 3. The host loads the add-on itself: found by name, still without the disk.
    QLibrary hostCopy(addonDir + "/liborvexcloudskin.so");
    QVERIFY2(hostCopy.load(), qPrintable(hostCopy.errorString()));
    const int byName = winsim::control::moduleHandleLookups();
    OrvexCloudSkinProxy* proxy = cloudSkinProxy();
    QVERIFY(proxy);
    QCOMPARE(winsim::control::moduleHandleLookups(), byName + 1);
    QCOMPARE(umpluginconfig::testing::lookups(), searchesBefore + 1);
    QCOMPARE(zandr::testing::calls(), runtimeCalls);

    // The proxy is the add-on's one object, and its skin announces theme switches.
    QCOMPARE(cloudSkinProxy(), proxy);
    UmLiteSkin* skin = proxy->skinObject();
    QVERIFY(skin);
    QSignalSpy changed(skin, &UmLiteSkin::skinChanged);
    skin->setThemeName(skin->themeName() == "dark" ? "light" : "dark");
    QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(TestCloudSkinLookup)
#include "tst_cloudskinlookup.moc"
