// Guards popup styles registered in order and the cloud-skin add-on search: version.tag, other majors, stale copies,
// the library's file name, one disk search per process, the copy the host loaded found by name (without its entry: none).
#include "applicationtoastimpl.h"
#include "orvexcloudskinproxy.h"
#include "toastmodulecontext.h"
#include "toastskinresources.h"
#include "umcoreapplication.h"
#include "umpluginmanager.h"
#include "umplugintesting.h"
#include "umskin.h"
#include "zandrtesting.h"

#include <winsim/control.h>

#include <QLibrary>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// An add-on folder with the library and, unless tag is null, its version.tag.
bool makeAddon(const QString& dir, const QByteArray& tag)
{
    QFile library(dir + "/" + zandr::getLibFileName("orvexcloudskin"));
    QFile version(dir + "/version.tag");
    return QDir().mkpath(dir) && library.open(QIODevice::WriteOnly) && library.write("ELF") == 3
        && (tag.isNull() || (version.open(QIODevice::WriteOnly) && version.write(tag) == tag.size()));
}

} // namespace

class TestSkinResources : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void findAddonModulePath_data();
    void findAddonModulePath();
    void initRegistersConfiguredThenDefaults();
    void lookupLifeOfAProcess();
};

void TestSkinResources::cleanup()
{
    umpluginconfig::testing::clearPluginPaths();
    zandr::testing::setFrameworks(QString());
    zandr::testing::setOfficeInstallRoot(QString());
    UmCoreApplication::setPluginMgr(nullptr);
}

void TestSkinResources::findAddonModulePath_data()
{
    // Folders are relative to a scratch root holding the install root "office"; "" for the plug-in means unknown,
    // "=dir": unknown to the configuration, known to the plug-in manager.
    QTest::addColumn<QString>("pluginDir");
    QTest::addColumn<QString>("frameworks");
    QTest::addColumn<QStringList>("placed"); // folders holding the add-on
    QTest::addColumn<QByteArray>("tag");      // their version.tag; null: none
    QTest::addColumn<QString>("expected");

    const QByteArray good("1.2.0\n");
    const QString inOffice = "office/plugins/cloud";
    const QString elsewhere = "elsewhere/cloud";
    const QString fwAddon = "fw/addons/orvexcloudskin";
    QTest::newRow("plug-in inside the install root, frameworks outside: frameworks only")
        << inOffice << "fw" << QStringList{inOffice, fwAddon} << good << fwAddon;
    QTest::newRow("plug-in inside the install root, frameworks outside, frameworks empty")
        << inOffice << "fw" << QStringList{inOffice} << good << "";
    QTest::newRow("plug-in folder qualifies") << elsewhere << "fw" << QStringList{elsewhere, fwAddon} << good << elsewhere;
    QTest::newRow("plug-in folder fails, frameworks tried") << elsewhere << "fw" << QStringList{fwAddon} << good << fwAddon;
    QTest::newRow("plug-in folder inside the frameworks fails: no second try")
        << "fw/plugins/cloud" << "fw" << QStringList{fwAddon} << good << "";
    QTest::newRow("frameworks inside the install root: plug-in folder first")
        << inOffice << "office/fw" << QStringList{inOffice, "office/fw/addons/orvexcloudskin"} << good << inOffice;
    QTest::newRow("unknown plug-in, no plug-in manager") << "" << "fw" << QStringList{fwAddon} << good << "";
    QTest::newRow("plug-in manager stands in") << "=managed" << "fw" << QStringList{"managed"} << good << "managed";
    // What version.tag may hold: only its first line's major counts.
    QTest::newRow("another major version") << elsewhere << "fw" << QStringList{elsewhere} << QByteArray("2.0.0\n") << "";
    QTest::newRow("no version.tag") << elsewhere << "fw" << QStringList{elsewhere} << QByteArray() << "";
    QTest::newRow("spaces and carriage return")
        << elsewhere << "fw" << QStringList{elsewhere} << QByteArray(" 1 . 4 .7\r\n2.0.0\n") << elsewhere;
    QTest::newRow("two numbers") << elsewhere << "fw" << QStringList{elsewhere} << QByteArray("1.2") << "";
}

void TestSkinResources::findAddonModulePath()
{
    QFETCH(QString, pluginDir);
    QFETCH(QString, frameworks);
    QFETCH(QStringList, placed);
    QFETCH(QByteArray, tag);
    QFETCH(QString, expected);

    QTemporaryDir root;
    const auto at = [&](const QString& rel) { return rel.isEmpty() ? QString() : root.filePath(rel); };
    for (const QString& dir : placed)
        QVERIFY(makeAddon(at(dir), tag));
    UmPluginManager manager;
    if (pluginDir.startsWith('=')) {
        manager.addPlugin("orvexcloudskin", at(pluginDir.mid(1)), false);
        UmCoreApplication::setPluginMgr(&manager);
        pluginDir.clear();
    }
    umpluginconfig::testing::setPluginPath("orvexcloudskin", at(pluginDir));
    zandr::testing::setFrameworks(at(frameworks));
    zandr::testing::setOfficeInstallRoot(at("office"));
    const QString found = ::findAddonModulePath("orvexcloudskin", "orvexcloudskin", "1.0.0");
    QCOMPARE(found, expected.isEmpty() ? QString() : at(expected) + "/" + zandr::getLibFileName("orvexcloudskin"));
}

void TestSkinResources::initRegistersConfiguredThenDefaults()
{
    IUmResourceRegistry* registry =
        static_cast<IUmLiteSkin*>(ToastModuleContext::instance()->skin())->resourceRegistry();
    const int before = registry->requestedFiles().size();

    ApplicationToastImpl service;
    QVERIFY(service.init({{"rccSources", QStringList{"/opt/a.rcc", "b.rcc"}}}));
    const QStringList expected{"/opt/a.rcc", "b.rcc", "lumora_shared_res.rcc", "lumora_orvexoffice_res.rcc", "ico.rcc"};
    QCOMPARE(registry->requestedFiles().mid(before), expected);
}

void TestSkinResources::lookupLifeOfAProcess()
{
    // The lookup keeps its answers for the whole process: one process's life in order.
    const QString addonDir = QStringLiteral(SNT_BINARY_DIR "/addons/orvexcloudskin");
    QVERIFY2(QFileInfo::exists(addonDir + "/version.tag"), "the add-on is built beside the tests");

    // 0. The host loaded a copy lacking the entry: no proxy, and no copy from disk.
    const int searchesBefore = umpluginconfig::testing::lookups();
    QLibrary hostCopy(addonDir + "/liborvexcloudskin.so");
    QVERIFY2(hostCopy.load(), qPrintable(hostCopy.errorString()));
    winsim::control::nullResultOnCall("GetProcAddress");
    QVERIFY(!cloudSkinProxy());
    QCOMPARE(umpluginconfig::testing::lookups(), searchesBefore);
    QVERIFY(hostCopy.unload());

    // 1. Nothing installed where the host says: no proxy.
    QTemporaryDir empty;
    umpluginconfig::testing::setPluginPath("orvexcloudskin", empty.filePath("plugins/cloud"));
    zandr::testing::setFrameworks(empty.filePath("fw"));
    zandr::testing::setOfficeInstallRoot(empty.filePath("office"));
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
    QVERIFY2(hostCopy.load(), qPrintable(hostCopy.errorString()));
    const int byName = winsim::control::moduleHandleLookups();
    OrvexCloudSkinProxy* proxy = cloudSkinProxy();
    QVERIFY(proxy);
    QCOMPARE(winsim::control::moduleHandleLookups(), byName + 1);
    QCOMPARE(umpluginconfig::testing::lookups(), searchesBefore + 1);
    QCOMPARE(zandr::testing::calls(), runtimeCalls);

    // The proxy is the add-on's one object; its skin's theme switches are the popup tests' part.
    QCOMPARE(cloudSkinProxy(), proxy);
}

QTEST_MAIN(TestSkinResources)
#include "tst_skinresources.moc"
