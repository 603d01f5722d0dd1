// Guards shortcut files outside readers (lnkinfo, exiftool) accept, ids stamped only on commit, damaged files refused.
#include "shortcutbytes.h"
#include "winrtlibrary.h"

#include <propkey.h>
#include <propvarutil.h>
#include <shlobj.h>
#include <winsim/control.h>
#include <wrl/client.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using Microsoft::WRL::ComPtr;

namespace {

// What an outside program printed (both streams), or why it did not run.
QString run(const QString& program, const QStringList& arguments, int* exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        *exitCode = -1;
        return program + QStringLiteral(": ") + process.errorString();
    }
    *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAll());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

struct Link
{
    Link()
    {
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
        if (link) {
            link.As(&file);
            link.As(&store);
        }
    }
    QString appId() const
    {
        PROPVARIANT value;
        PropVariantInit(&value);
        store->GetValue(PKEY_AppUserModel_ID, &value);
        const QString text = value.vt == VT_LPWSTR ? QString::fromWCharArray(value.pwszVal) : QString();
        PropVariantClear(&value);
        return text;
    }
    HRESULT setAppId(const QString& id) const
    {
        PROPVARIANT value;
        HRESULT hr = InitPropVariantFromString(id.toStdWString().c_str(), &value);
        if (SUCCEEDED(hr))
            hr = store->SetValue(PKEY_AppUserModel_ID, value);
        PropVariantClear(&value);
        return hr;
    }

    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    ComPtr<IPropertyStore> store;
};

} // namespace

class TestShellLink : public QObject
{
    Q_OBJECT

private slots:
    void init() { winsim::control::reset(); }

    void writtenShortcutIsReadByDebianTools_data();
    void writtenShortcutIsReadByDebianTools();
    void propertyChangesNeedCommit();
    void malformedShortcutsAreRefused_data();
    void malformedShortcutsAreRefused();

private:
    QTemporaryDir m_dir;
};

void TestShellLink::writtenShortcutIsReadByDebianTools_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("workingDir");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("appId");
    QTest::newRow("full") << QStringLiteral("C:\\Program Files\\Suite\\suite.exe") << QStringLiteral("--toast")
                          << QStringLiteral("C:\\Program Files\\Suite") << QStringLiteral("C:\\Program Files\\Suite\\suite.ico")
                          << QStringLiteral("Vendor.Suite.Main");
    QTest::newRow("target and id only") << QStringLiteral("/opt/suite/bin/suite") << QString() << QString() << QString()
                                        << QStringLiteral("x");
    QTest::newRow("non-ascii") << QStringLiteral("C:\\Programme\\Büro ✓\\suite.exe") << QStringLiteral("--name \"Grüße\"")
                               << QString() << QString() << QStringLiteral("Büro.Suite.Ünïcode.%1").arg(QString(80, QLatin1Char('x')));
}

void TestShellLink::writtenShortcutIsReadByDebianTools()
{
    QFETCH(QString, target);
    QFETCH(QString, arguments);
    QFETCH(QString, workingDir);
    QFETCH(QString, icon);
    QFETCH(QString, appId);
    const QString path = m_dir.filePath(QStringLiteral("written-%1.lnk").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')));

    Link l;
    QVERIFY(l.link && l.file && l.store);
    QCOMPARE(l.link->SetPath(target.toStdWString().c_str()), S_OK);
    if (!arguments.isEmpty())
        QCOMPARE(l.link->SetArguments(arguments.toStdWString().c_str()), S_OK);
    if (!workingDir.isEmpty())
        QCOMPARE(l.link->SetWorkingDirectory(workingDir.toStdWString().c_str()), S_OK);
    if (!icon.isEmpty())
        QCOMPARE(l.link->SetIconLocation(icon.toStdWString().c_str(), 0), S_OK);
    QCOMPARE(l.setAppId(appId), S_OK);
    QCOMPARE(l.store->Commit(), S_OK);
    QCOMPARE(l.file->Save(path.toStdWString().c_str(), TRUE), S_OK);
    const QByteArray bytes = readFile(path);
    QCOMPARE(shortcutbytes::stringProperty(bytes, shortcutbytes::appUserModelFormat(), 5), appId);

    int exitCode = -1;
    const QString lnkinfo = run(QStringLiteral("lnkinfo"), {path}, &exitCode);
    QVERIFY2(exitCode == 0 && !lnkinfo.contains(QLatin1String("rror")), qPrintable(lnkinfo));
    QVERIFY2(lnkinfo.contains(target) && lnkinfo.contains(arguments), qPrintable(lnkinfo));

    const QString json = run(QStringLiteral("exiftool"), {QStringLiteral("-j"), QStringLiteral("-a"), path}, &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(json));
    const QJsonObject tags = QJsonDocument::fromJson(json.toUtf8()).array().first().toObject();
    QVERIFY2(!tags.contains(QLatin1String("Error")) && !tags.contains(QLatin1String("Warning")), qPrintable(json));
    QCOMPARE(tags.value(QLatin1String("FileType")).toString(), QStringLiteral("LNK"));
    // A target outside ASCII is also written in UTF-16, which the reader prefers.
    QCOMPARE(tags.value(QLatin1String("LocalBasePath")).toString(), target);
    QCOMPARE(tags.value(QLatin1String("CommandLineArguments")).toString(), arguments);
    // exiftool lists the property-store block with the size the file gives it.
    const QString blocks = run(QStringLiteral("exiftool"), {QStringLiteral("-v2"), path}, &exitCode);
    QVERIFY2(blocks.contains(QStringLiteral("Tag 0xa0000009 (%1 bytes)").arg(shortcutbytes::extraBlocks(bytes).value(0).size())),
             qPrintable(blocks));

    // And the simulation reads back what it wrote.
    Link again;
    QCOMPARE(again.file->Load(path.toStdWString().c_str(), STGM_READ), S_OK);
    QCOMPARE(again.appId(), appId);
}

void TestShellLink::propertyChangesNeedCommit()
{
    const QString path = m_dir.filePath(QStringLiteral("uncommitted.lnk"));
    QVERIFY(writeFile(path, shortcutbytes::shellStyleShortcut()));
    Link l;
    QCOMPARE(l.file->Load(path.toStdWString().c_str(), STGM_READWRITE), S_OK);
    QCOMPARE(l.setAppId(QStringLiteral("Not.Committed")), S_OK);
    QCOMPARE(l.appId(), QStringLiteral("Not.Committed")); // the store sees its own change
    QCOMPARE(l.file->IsDirty(), S_FALSE);
    QCOMPARE(l.file->Save(path.toStdWString().c_str(), TRUE), S_OK);
    QCOMPARE(shortcutbytes::stringProperty(readFile(path), shortcutbytes::appUserModelFormat(), 5), QString());
}

void TestShellLink::malformedShortcutsAreRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray good = shortcutbytes::shellStyleShortcut();
    QByteArray wrongClass = good;
    wrongClass[4] = 0x02;
    QByteArray idListPastEnd = good;
    idListPastEnd[0x4C] = char(0xFF);
    idListPastEnd[0x4D] = char(0xFF);
    QByteArray blockPastEnd = good;
    const int trackerAt = good.indexOf(QByteArray::fromHex("030000a0")) - 4;
    blockPastEnd[trackerAt + 1] = char(0x7F);
    QByteArray badStorage = good;
    const int storageVersion = good.indexOf(QByteArray("1SPS"));
    badStorage[storageVersion] = 'X';
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated header") << good.left(40);
    QTest::newRow("wrong class id") << wrongClass;
    QTest::newRow("id list past end") << idListPastEnd;
    QTest::newRow("extra block past end") << blockPastEnd;
    QTest::newRow("bad property storage") << badStorage;
    QTest::newRow("cut in the strings") << good.left(good.indexOf(QByteArray("-\0-\0p", 5)));
}

void TestShellLink::malformedShortcutsAreRefused()
{
    QFETCH(QByteArray, data);
    const QString path = m_dir.filePath(QStringLiteral("bad.lnk"));
    QVERIFY(writeFile(path, data));
    Link l;
    QCOMPARE(l.file->Load(path.toStdWString().c_str(), STGM_READWRITE), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    // The object is still usable for a good file.
    const QString good = m_dir.filePath(QStringLiteral("good.lnk"));
    QVERIFY(writeFile(good, shortcutbytes::shellStyleShortcut()));
    QCOMPARE(l.file->Load(good.toStdWString().c_str(), STGM_READWRITE), S_OK);
}

QTEST_GUILESS_MAIN(TestShellLink)
#include "tst_shelllink.moc"
