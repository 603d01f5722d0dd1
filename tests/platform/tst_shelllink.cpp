// Guards the shortcut file a user's Start menu holds: written so that outside readers (lnkinfo,
// exiftool) accept it, also with non-ASCII targets, the application id stamped only on commit, and
// a damaged file refused without a crash.
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

struct Tool
{
    int exitCode = -1;
    QString out;
    QString err;
};

Tool run(const QString& program, const QStringList& arguments)
{
    Tool result;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
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
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    ComPtr<IPropertyStore> store;
};

Link newLink()
{
    Link l;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&l.link));
    if (l.link) {
        l.link.As(&l.file);
        l.link.As(&l.store);
    }
    return l;
}

std::wstring wide(const QString& text)
{
    return text.toStdWString();
}

QString appIdOf(IPropertyStore* store)
{
    PROPVARIANT value;
    PropVariantInit(&value);
    if (FAILED(store->GetValue(PKEY_AppUserModel_ID, &value)))
        return QStringLiteral("<failed>");
    const QString text = value.vt == VT_LPWSTR ? QString::fromWCharArray(value.pwszVal)
                         : value.vt == VT_EMPTY ? QString()
                                                : QStringLiteral("<type %1>").arg(value.vt);
    PropVariantClear(&value);
    return text;
}

HRESULT setAppId(IPropertyStore* store, const QString& id)
{
    PROPVARIANT value;
    HRESULT hr = InitPropVariantFromString(wide(id).c_str(), &value);
    if (FAILED(hr))
        return hr;
    hr = store->SetValue(PKEY_AppUserModel_ID, value);
    PropVariantClear(&value);
    return hr;
}

QString getString(IShellLinkW* link, HRESULT (STDMETHODCALLTYPE IShellLinkW::*getter)(LPWSTR, int))
{
    wchar_t buffer[MAX_PATH] = {};
    (link->*getter)(buffer, MAX_PATH);
    return QString::fromWCharArray(buffer);
}

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

    Link l = newLink();
    QVERIFY(l.link && l.file && l.store);
    QCOMPARE(l.link->SetPath(wide(target).c_str()), S_OK);
    if (!arguments.isEmpty())
        QCOMPARE(l.link->SetArguments(wide(arguments).c_str()), S_OK);
    if (!workingDir.isEmpty())
        QCOMPARE(l.link->SetWorkingDirectory(wide(workingDir).c_str()), S_OK);
    if (!icon.isEmpty())
        QCOMPARE(l.link->SetIconLocation(wide(icon).c_str(), 0), S_OK);
    QCOMPARE(setAppId(l.store.Get(), appId), S_OK);
    QCOMPARE(l.store->Commit(), S_OK);
    QCOMPARE(l.file->Save(wide(path).c_str(), TRUE), S_OK);

    const QByteArray bytes = readFile(path);
    QCOMPARE(shortcutbytes::stringProperty(bytes, shortcutbytes::appUserModelFormat(), 5), appId);

    const Tool lnkinfo = run(QStringLiteral("lnkinfo"), {path});
    QVERIFY2(lnkinfo.exitCode == 0, qPrintable(lnkinfo.out + lnkinfo.err));
    QVERIFY2(!lnkinfo.err.contains(QLatin1String("rror")), qPrintable(lnkinfo.err));
    QVERIFY2(lnkinfo.out.contains(target), qPrintable(lnkinfo.out));
    if (!arguments.isEmpty())
        QVERIFY2(lnkinfo.out.contains(arguments), qPrintable(lnkinfo.out));

    const Tool exiftool = run(QStringLiteral("exiftool"), {QStringLiteral("-j"), QStringLiteral("-a"), path});
    QVERIFY2(exiftool.exitCode == 0, qPrintable(exiftool.out + exiftool.err));
    const QJsonObject tags = QJsonDocument::fromJson(exiftool.out.toUtf8()).array().first().toObject();
    QVERIFY2(!tags.contains(QLatin1String("Error")) && !tags.contains(QLatin1String("Warning")), qPrintable(exiftool.out));
    QCOMPARE(tags.value(QLatin1String("FileType")).toString(), QStringLiteral("LNK"));
    // A target outside ASCII is also written in UTF-16, which the reader prefers.
    QCOMPARE(tags.value(QLatin1String("LocalBasePath")).toString(), target);
    if (!arguments.isEmpty())
        QCOMPARE(tags.value(QLatin1String("CommandLineArguments")).toString(), arguments);
    // exiftool lists the property-store block with the size the file gives it.
    const Tool blocks = run(QStringLiteral("exiftool"), {QStringLiteral("-v2"), path});
    const QByteArray propertyBlock = shortcutbytes::extraBlocks(bytes).value(0);
    QVERIFY2(blocks.out.contains(QStringLiteral("PropertyStoreData")), qPrintable(blocks.out));
    QVERIFY2(blocks.out.contains(QStringLiteral("Tag 0xa0000009 (%1 bytes)").arg(propertyBlock.size())), qPrintable(blocks.out));

    // And the simulation reads back what it wrote.
    Link again = newLink();
    QCOMPARE(again.file->Load(wide(path).c_str(), STGM_READ), S_OK);
    QCOMPARE(appIdOf(again.store.Get()), appId);
    QCOMPARE(getString(again.link.Get(), &IShellLinkW::GetArguments), arguments);
}

void TestShellLink::propertyChangesNeedCommit()
{
    const QString path = m_dir.filePath(QStringLiteral("uncommitted.lnk"));
    QVERIFY(writeFile(path, shortcutbytes::shellStyleShortcut()));
    Link l = newLink();
    QCOMPARE(l.file->Load(wide(path).c_str(), STGM_READWRITE), S_OK);
    QCOMPARE(setAppId(l.store.Get(), QStringLiteral("Not.Committed")), S_OK);
    QCOMPARE(appIdOf(l.store.Get()), QStringLiteral("Not.Committed")); // the store sees its own change
    QCOMPARE(l.file->IsDirty(), S_FALSE);
    QCOMPARE(l.file->Save(wide(path).c_str(), TRUE), S_OK);
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
    Link l = newLink();
    QCOMPARE(l.file->Load(wide(path).c_str(), STGM_READWRITE), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    // The object is still usable for a good file.
    const QString good = m_dir.filePath(QStringLiteral("good.lnk"));
    QVERIFY(writeFile(good, shortcutbytes::shellStyleShortcut()));
    QCOMPARE(l.file->Load(wide(good).c_str(), STGM_READWRITE), S_OK);
}

QTEST_GUILESS_MAIN(TestShellLink)
#include "tst_shelllink.moc"
