// Guards the host kit's Windows path rules, which only a Windows build follows.
#include "toastskinresources.h"
#include "umplugintesting.h"
#include "umskin.h"
#include "zandrtesting.h"

#include <QtTest>

namespace {

// Writes version.tag and a file under the add-on library's name into dir.
bool makeAddon(const QString& dir)
{
    QDir().mkpath(dir);
    QFile library(dir + "/" + zandr::getLibFileName("orvexcloudskin"));
    QFile tag(dir + "/version.tag");
    return library.open(QIODevice::WriteOnly) && library.write("MZ") == 2 && tag.open(QIODevice::WriteOnly)
        && tag.write("1.2.0\n") == 6;
}

} // namespace

class TestWinUnits : public QObject
{
    Q_OBJECT
private slots:
    void skinPathListUsesSemicolons();
    void staleAddonSeenThroughNativePaths();
};

// A Windows list of folders is split on ';': a ':' would cut every drive letter off.
void TestWinUnits::skinPathListUsesSemicolons()
{
    QTemporaryDir empty, holder;
    const QString shipped = QCoreApplication::applicationDirPath() + "/../share/systemnotifytoast/skin/ico.rcc";
    QVERIFY2(QFile::copy(shipped, holder.filePath("probe.rcc")), qPrintable(shipped));
    qputenv("UMLITE_SKIN_PATH", QDir::toNativeSeparators(empty.path() + ";" + holder.path()).toLocal8Bit());
    UmLiteSkin skin;
    const bool registered = skin.resourceRegistry()->registerRcc(QStringLiteral("probe.rcc"), QStringLiteral("/probe"));
    qunsetenv("UMLITE_SKIN_PATH");
    QVERIFY(registered);
    QCOMPARE(QFileInfo(skin.resourceRegistry()->registeredFiles().value(0)), QFileInfo(holder.filePath("probe.rcc")));
}

// The host's runtime and the plug-in manager both give native paths; the
// stale-copy rule compares them case-sensitively, so they must agree.
void TestWinUnits::staleAddonSeenThroughNativePaths()
{
    QTemporaryDir root;
    const QString stale = root.filePath("office/plugins/cloud");
    const QString current = root.filePath("fw/addons/orvexcloudskin");
    QVERIFY(makeAddon(stale) && makeAddon(current));
    umpluginconfig::testing::setPluginPath("orvexcloudskin", stale);
    zandr::testing::setFrameworks(root.filePath("fw"));
    zandr::testing::setOfficeInstallRoot(root.filePath("office"));
    const QString found = findAddonModulePath("orvexcloudskin", "orvexcloudskin", "1.0.0");
    umpluginconfig::testing::clearPluginPaths();
    zandr::testing::setFrameworks(QString());
    zandr::testing::setOfficeInstallRoot(QString());
    QCOMPARE(QDir::fromNativeSeparators(found), current + "/" + zandr::getLibFileName("orvexcloudskin"));
}

QTEST_MAIN(TestWinUnits)
#include "tst_winunits.moc"
