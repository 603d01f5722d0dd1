// Guards popup styles registered in order and the cloud-skin add-on search: version.tag, other majors, stale copies.
#include "applicationtoastimpl.h"
#include "toastmodulecontext.h"
#include "toastskinresources.h"
#include "umcoreapplication.h"
#include "umpluginmanager.h"
#include "umplugintesting.h"
#include "umskin.h"
#include "zandrtesting.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(ModuleVersion)

namespace {

QString versionText(const ModuleVersion& v)
{
    return QString("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.patch);
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// An add-on folder with the library and, unless tag is null, its version.tag.
bool makeAddon(const QString& dir, const QByteArray& tag)
{
    if (!writeFile(dir + "/" + zandr::getLibFileName("orvexcloudskin"), "ELF"))
        return false;
    return tag.isNull() || writeFile(dir + "/version.tag", tag);
}

} // namespace

class TestSkinResources : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void readModuleVersion_data();
    void readModuleVersion();
    void findAddonModulePath_data();
    void findAddonModulePath();
    void pluginManagerStandsInForTheConfiguration();

    void initRegistersConfiguredThenDefaults_data();
    void initRegistersConfiguredThenDefaults();
};

void TestSkinResources::cleanup()
{
    umpluginconfig::testing::clearPluginPaths();
    zandr::testing::setFrameworks(QString());
    zandr::testing::setOfficeInstallRoot(QString());
    UmCoreApplication::setPluginMgr(nullptr);
}

void TestSkinResources::readModuleVersion_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("1.0.0\n") << "1.0.0";
    QTest::newRow("carriage return and newline") << QByteArray("1.4.7\r\n") << "1.4.7";
    QTest::newRow("only the first line counts") << QByteArray("2.0.0\n1.4.7\n") << "2.0.0";
    QTest::newRow("white space around parts") << QByteArray(" 4 . 5 .6\r\n") << "4.5.6";
    QTest::newRow("a part that is no number") << QByteArray("1.x.3") << "1.0.3";
    QTest::newRow("two numbers") << QByteArray("1.2") << "0.0.0";
    QTest::newRow("four numbers") << QByteArray("1.2.3.4") << "0.0.0";
    QTest::newRow("no file") << QByteArray() << "0.0.0";
}

void TestSkinResources::readModuleVersion()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    if (!content.isNull())
        QVERIFY(writeFile(dir.filePath("version.tag"), content));
    QCOMPARE(versionText(::readModuleVersion(dir.path(), "version.tag")), expected);
}

void TestSkinResources::findAddonModulePath_data()
{
    // Folders are relative to a scratch root; "" for the plug-in means unknown.
    QTest::addColumn<QString>("pluginDir");
    QTest::addColumn<QString>("frameworks");
    QTest::addColumn<QString>("installRoot");
    QTest::addColumn<QStringList>("placed"); // folders holding the add-on
    QTest::addColumn<QByteArray>("tag");      // their version.tag; null: none
    QTest::addColumn<QString>("expected");

    const QByteArray good("1.2.0\n");

    const QString fwAddon = "fw/addons/orvexcloudskin";
    QTest::newRow("plug-in inside the install root, frameworks outside: frameworks only")
        << "office/plugins/cloud" << "fw" << "office" << QStringList{"office/plugins/cloud", fwAddon} << good << fwAddon;
    QTest::newRow("plug-in inside the install root, frameworks outside, frameworks empty")
        << "office/plugins/cloud" << "fw" << "office" << QStringList{"office/plugins/cloud"} << good << "";
    QTest::newRow("plug-in folder qualifies") << "elsewhere/cloud" << "fw" << "office"
                                              << QStringList{"elsewhere/cloud", fwAddon} << good << "elsewhere/cloud";
    QTest::newRow("plug-in folder fails, frameworks tried")
        << "elsewhere/cloud" << "fw" << "office" << QStringList{fwAddon} << good << fwAddon;
    QTest::newRow("plug-in folder inside the frameworks fails: no second try")
        << "fw/plugins/cloud" << "fw" << "office" << QStringList{fwAddon} << good << "";
    QTest::newRow("frameworks inside the install root: plug-in folder first")
        << "office/plugins/cloud" << "office/fw" << "office"
        << QStringList{"office/plugins/cloud", "office/fw/addons/orvexcloudskin"} << good << "office/plugins/cloud";
    QTest::newRow("nothing anywhere") << "elsewhere/cloud" << "fw" << "office" << QStringList() << good << "";
    QTest::newRow("another major version") << "elsewhere/cloud" << "fw" << "office" << QStringList{"elsewhere/cloud"}
                                           << QByteArray("2.0.0\n") << "";
    QTest::newRow("no version.tag") << "elsewhere/cloud" << "fw" << "office" << QStringList{"elsewhere/cloud"} << QByteArray() << "";
    QTest::newRow("unknown plug-in, no plug-in manager") << "" << "fw" << "office" << QStringList{fwAddon} << good << "";
}

void TestSkinResources::findAddonModulePath()
{
    QFETCH(QString, pluginDir);
    QFETCH(QString, frameworks);
    QFETCH(QString, installRoot);
    QFETCH(QStringList, placed);
    QFETCH(QByteArray, tag);
    QFETCH(QString, expected);

    QTemporaryDir root;
    const auto at = [&](const QString& rel) { return rel.isEmpty() ? QString() : root.filePath(rel); };
    for (const QString& dir : placed)
        QVERIFY(makeAddon(at(dir), tag));
    umpluginconfig::testing::setPluginPath("orvexcloudskin", at(pluginDir));
    zandr::testing::setFrameworks(at(frameworks));
    zandr::testing::setOfficeInstallRoot(at(installRoot));

    const QString expectedPath =
        expected.isEmpty() ? QString() : at(expected) + "/" + zandr::getLibFileName("orvexcloudskin");
    QCOMPARE(::findAddonModulePath("orvexcloudskin", "orvexcloudskin", "1.0.0"), expectedPath);
}

void TestSkinResources::pluginManagerStandsInForTheConfiguration()
{
    QTemporaryDir root;
    QVERIFY(makeAddon(root.filePath("managed"), "1.0.1\n"));
    umpluginconfig::testing::setPluginPath("orvexcloudskin", QString());
    zandr::testing::setFrameworks(root.filePath("fw"));
    zandr::testing::setOfficeInstallRoot(root.filePath("office"));

    UmPluginManager manager;
    manager.addPlugin("orvexcloudskin", root.filePath("managed"), false);
    UmCoreApplication::setPluginMgr(&manager);
    QCOMPARE(::findAddonModulePath("orvexcloudskin", "orvexcloudskin", "1.0.0"),
             root.filePath("managed") + "/" + zandr::getLibFileName("orvexcloudskin"));
}

void TestSkinResources::initRegistersConfiguredThenDefaults_data()
{
    QTest::addColumn<QVariant>("rccSources");
    QTest::addColumn<QStringList>("expected");

    const QStringList defaults{"lumora_shared_res.rcc", "lumora_orvexoffice_res.rcc", "ico.rcc"};
    QTest::newRow("two configured") << QVariant(QStringList{"/opt/a.rcc", "b.rcc"})
                                    << QStringList{"/opt/a.rcc", "b.rcc"} + defaults;
    QTest::newRow("none configured") << QVariant() << defaults;
}

void TestSkinResources::initRegistersConfiguredThenDefaults()
{
    QFETCH(QVariant, rccSources);
    QFETCH(QStringList, expected);

    IUmResourceRegistry* registry =
        static_cast<IUmLiteSkin*>(ToastModuleContext::instance()->skin())->resourceRegistry();
    const int before = registry->requestedFiles().size();
    QVariantMap config;
    if (rccSources.isValid())
        config.insert("rccSources", rccSources);

    ApplicationToastImpl service;
    QVERIFY(service.init(config));
    QCOMPARE(registry->requestedFiles().mid(before), expected);
}

QTEST_MAIN(TestSkinResources)
#include "tst_skinresources.moc"
