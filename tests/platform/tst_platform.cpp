// Guards the simulated platform and the module's binding to it: each function taken from its own library and none
// without it, XML written so that it reads back (templates, escaping, characters XML cannot hold), and shortcut
// files an outside reader accepts, stamped only on commit, refused when damaged.
#include "shortcutbytes.h"
#include "systemtoastwinimpl.h"

#include "logcapture.h"
#include "testdata.h"
#include "winrttest.h"

#include <propkey.h>
#include <propvarutil.h>
#include <shlobj.h>
#include <winsim/control.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace winrttest;

namespace {

const QString k_missing = QStringLiteral("combase.dll,propsys.dll,shell32.dll");

QString attributeOf(const ComPtr<IXmlNode>& node, const QString& name)
{
    ComPtr<IXmlElement> element;
    if (!node || FAILED(node.As(&element)))
        return QStringLiteral("<no element>");
    HSTRING value = nullptr;
    element->GetAttribute(HstringWrapper(name, false).get(), &value);
    return take(value);
}

HRESULT setAttribute(const ComPtr<IXmlNode>& node, const QString& name, const QString& value)
{
    ComPtr<IXmlElement> element;
    const HRESULT hr = node.As(&element);
    return FAILED(hr) ? hr : element->SetAttribute(HstringWrapper(name, false).get(), HstringWrapper(value, false).get());
}

ComPtr<IXmlNode> namedItem(const ComPtr<IXmlNode>& element, const QString& name)
{
    ComPtr<IXmlNamedNodeMap> attributes;
    ComPtr<IXmlNode> node = element; // stays non-null if nothing is written
    if (SUCCEEDED(element->get_Attributes(&attributes)) && attributes)
        attributes->GetNamedItem(HstringWrapper(name, false).get(), &node);
    return node;
}

// What exiftool printed; empty when it failed.
QString exiftool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("exiftool"), arguments);
    const bool ran = process.waitForFinished(30000) && process.exitCode() == 0;
    return ran ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
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
    HRESULT load(const QString& path) const { return file->Load(path.toStdWString().c_str(), STGM_READWRITE); }

    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    ComPtr<IPropertyStore> store;
};

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void init() { winsim::control::reset(); }

    void functionComesFromItsLibrary_data();
    void functionComesFromItsLibrary();
    void withoutLibraries();
    void withoutLibrariesInThisProcess();
    void templates_data();
    void templates();
    void escaping_data();
    void escaping();
    void attributeValue();
    void badTextKeepsDocument_data();
    void badTextKeepsDocument();
    void writtenShortcutIsReadByExiftool_data();
    void writtenShortcutIsReadByExiftool();
    void propertyChangesNeedCommit();
    void malformedShortcutsAreRefused_data();
    void malformedShortcutsAreRefused();

private:
    QTemporaryDir m_dir;
};

void TestPlatform::functionComesFromItsLibrary_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<void*>("resolved");
    QTest::newRow("combase") << SNT_COMBASE_FILE << QByteArray("RoGetActivationFactory")
                             << reinterpret_cast<void*>(resolveCombaseFunction("RoGetActivationFactory"));
    QTest::newRow("propsys") << SNT_PROPSYS_FILE << QByteArray("PropVariantToString")
                             << reinterpret_cast<void*>(resolvePropsysFunction("PropVariantToString"));
    QTest::newRow("shell32") << SNT_SHELL32_FILE << QByteArray("GetCurrentProcessExplicitAppUserModelID")
                             << reinterpret_cast<void*>(resolveShell32Function("GetCurrentProcessExplicitAppUserModelID"));
}

void TestPlatform::functionComesFromItsLibrary()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, entry);
    QFETCH(void*, resolved);
    QLibrary own(file);
    QVERIFY2(resolved == reinterpret_cast<void*>(own.resolve(entry.constData())),
             qPrintable(QString("%1 is not the one %2 exports").arg(entry.constData(), file)));
}

void TestPlatform::withoutLibraries()
{
    // The library cache lives as long as the process: ask a fresh one.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINSIM_MISSING_LIBRARIES"), k_missing);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"withoutLibrariesInThisProcess"});
    QVERIFY(child.waitForFinished(30000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitCode() == 0 && output.contains("PASS   : TestPlatform::withoutLibrariesInThisProcess"),
             output.constData());
}

void TestPlatform::withoutLibrariesInThisProcess()
{
    if (qEnvironmentVariable("WINSIM_MISSING_LIBRARIES") != k_missing)
        QSKIP("run by withoutLibraries in a process of its own");
    auto* sentinel = reinterpret_cast<IToastNotificationManagerStatics*>(quintptr(0x5a5a));
    IToastNotificationManagerStatics* factory = sentinel;
    QCOMPARE(getActivationFactory<IToastNotificationManagerStatics>(
                 RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &factory),
             E_FAIL);
    QCOMPARE(factory, sentinel);
    QCOMPARE(HstringWrapper(QStringLiteral("text"), false).get(), static_cast<HSTRING>(nullptr));
    QCOMPARE(HstringWrapper(QStringLiteral("text"), true).get(), static_cast<HSTRING>(nullptr));
    QVERIFY(HstringWrapper(static_cast<HSTRING>(nullptr)).toWString().empty());

    // The identity code asks nothing of a library that is not there; a configured id needs none.
    winsim::control::setProcessAppUserModelId(QStringLiteral("Process.Id"));
    SystemToastWinImpl service;
    QCOMPARE(service.getUsefulAppUserModelId(QStringLiteral("Orvex.Office")), QStringLiteral("Orvex.Office"));
    LogCapture log;
    QCOMPARE(service.getUsefulAppUserModelId(QString()), QString());
    winsim::control::setCallTraceEnabled(true);
    service.updateLnk({{"startMenuLnkPath", "/nonexistent/Orvex.lnk"}, {"appName", "Orvex"}});
    winsim::control::setCallTraceEnabled(false);
    QCOMPARE(log.lines(), (QStringList{"call SystemToastWinImpl::getUsefulAppUserModelId : default Aumi:",
                                       "call SystemToastWinImpl::getUsefulAppUserModelId : get getAppUserModelIDFun failed",
                                       "call SystemToastWinImpl::updateLnk : begin",
                                       "call SystemToastWinImpl::updateLnk : get PropVariantToStringFun failed",
                                       "call SystemToastWinImpl::updateLnk : end"}));
    QVERIFY(!winsim::control::callTrace().contains(QStringLiteral("CoCreateInstance")));
}

void TestPlatform::templates_data()
{
    QTest::addColumn<int>("type");
    const char* names[] = {"ToastImageAndText01", "ToastImageAndText02", "ToastImageAndText03", "ToastImageAndText04",
                           "ToastText01",         "ToastText02",         "ToastText03",         "ToastText04"};
    for (int type = 0; type < 8; ++type)
        QTest::newRow(names[type]) << type;
}

void TestPlatform::templates()
{
    QFETCH(int, type);
    ComPtr<IXmlDocument> doc = templateDocument(type);
    QVERIFY(doc);
    QCOMPARE(xmlOf(doc), testdata::text("templates.txt", QTest::currentDataTag()));
    // Each call hands out a document of its own.
    QVERIFY(templateDocument(type).Get() != doc.Get());
}

void TestPlatform::escaping_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("asText");
    QTest::addColumn<QString>("asAttribute");
    QTest::newRow("ampersand") << "a&b" << "a&amp;b" << "a&amp;b";
    QTest::newRow("angle brackets") << "<b>x</b>" << "&lt;b&gt;x&lt;/b&gt;" << "&lt;b&gt;x&lt;/b&gt;";
    QTest::newRow("quotes") << "say \"hi\" it's" << "say \"hi\" it's" << "say &quot;hi&quot; it's";
    QTest::newRow("already escaped") << "&amp;" << "&amp;amp;" << "&amp;amp;";
    QTest::newRow("injection attempt") << "\"/><image src=\"x" << "\"/&gt;&lt;image src=\"x" << "&quot;/&gt;&lt;image src=&quot;x";
    // A reader turns a raw line break or tab in an attribute into a space.
    QTest::newRow("line break, tab, non-latin") << "one\ntwo\tGrüße \U0001F600" << "one\ntwo\tGrüße \U0001F600"
                                                << "one&#xA;two&#x9;Grüße \U0001F600";
    // The host's text may hold what XML cannot; written raw, the document could not be read back.
    for (const QChar c : {QChar(0x0B), QChar(0x07), QChar(0x1B), QChar(0x00), QChar(0xFFFE), QChar(0xFFFF)})
        QTest::addRow("U+%04X", c.unicode()) << "a" + QString(c) + "b" << "a\uFFFDb" << "a\uFFFDb";
}

void TestPlatform::escaping()
{
    QFETCH(QString, value);
    QFETCH(QString, asText);
    QFETCH(QString, asAttribute);
    ComPtr<IXmlDocument> doc = templateDocument(4);
    ComPtr<IXmlNode> text = item(doc, "text", 0);
    QCOMPARE(appendText(doc, text, value), S_OK);
    QCOMPARE(setAttribute(text, "hint", value), S_OK);
    const QString xml = xmlOf(doc);
    QCOMPARE(xml, QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text id=\"1\" hint=\"%1\">%2</text>"
                                 "</binding></visual></toast>").arg(asAttribute, asText));
    // What was written reads back as the same value, but for what XML cannot hold.
    ComPtr<IXmlDocument> reloaded = document(xml);
    QVERIFY2(reloaded, "the written document cannot be read back");
    QCOMPARE(attributeOf(item(reloaded, "text", 0), "hint"), asText.contains(QChar::ReplacementCharacter) ? asText : value);
    QCOMPARE(xmlOf(reloaded), xml);
}

// The builders write a value by appending text to the attribute node; SetAttribute replaces it whole.
void TestPlatform::attributeValue()
{
    ComPtr<IXmlDocument> doc = templateDocument(0);
    ComPtr<IXmlNode> image = item(doc, "image", 0);
    ComPtr<IXmlNode> src = namedItem(image, "src");
    QVERIFY(src);
    QCOMPARE(appendText(doc, src, "file:///"), S_OK);
    QCOMPARE(appendText(doc, src, "C:/a b.png"), S_OK);
    QCOMPARE(attributeOf(image, "src"), QStringLiteral("file:///C:/a b.png"));
    QCOMPARE(xmlOf(image), QStringLiteral("<image id=\"1\" src=\"file:///C:/a b.png\"/>"));
    QCOMPARE(setAttribute(image, "src", "x"), S_OK);
    QCOMPARE(setAttribute(item(doc, "binding", 0), "template", "ToastGeneric"), S_OK);
    QCOMPARE(xmlOf(item(doc, "binding", 0)),
             QStringLiteral("<binding template=\"ToastGeneric\"><image id=\"1\" src=\"x\"/><text id=\"1\"></text></binding>"));
}

// Text that is not XML leaves a document as it was, an empty one included,
// which would otherwise keep the elements read before the error.
void TestPlatform::badTextKeepsDocument_data()
{
    QTest::addColumn<QString>("before");
    QTest::newRow("empty") << QString();
    QTest::newRow("loaded") << QStringLiteral("<toast><visual/></toast>");
}

void TestPlatform::badTextKeepsDocument()
{
    QFETCH(QString, before);
    ComPtr<IXmlDocument> doc = document(before);
    ComPtr<IXmlDocumentIO> io;
    QVERIFY(doc && SUCCEEDED(doc.As(&io)));
    QVERIFY(FAILED(io->LoadXml(HstringWrapper(QStringLiteral("<toast><visual><binding>"), false).get())));
    QCOMPARE(xmlOf(doc), before);
}

void TestPlatform::writtenShortcutIsReadByExiftool_data()
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

void TestPlatform::writtenShortcutIsReadByExiftool()
{
    QFETCH(QString, target);
    QFETCH(QString, arguments);
    QFETCH(QString, workingDir);
    QFETCH(QString, icon);
    QFETCH(QString, appId);
    const QString path = m_dir.filePath(QStringLiteral("written-%1.lnk").arg(QTest::currentDataTag()).replace(' ', '_'));

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

    const QString json = exiftool({QStringLiteral("-j"), QStringLiteral("-a"), path});
    const QJsonObject tags = QJsonDocument::fromJson(json.toUtf8()).array().first().toObject();
    QVERIFY2(!tags.isEmpty() && !tags.contains("Error") && !tags.contains("Warning"), qPrintable(json));
    QCOMPARE(tags.value(QLatin1String("FileType")).toString(), QStringLiteral("LNK"));
    // A target outside ASCII is also written in UTF-16, which the reader prefers.
    QCOMPARE(tags.value(QLatin1String("LocalBasePath")).toString(), target);
    QCOMPARE(tags.value(QLatin1String("CommandLineArguments")).toString(), arguments);
    // The property-store block with the size the file gives it.
    const QString blocks = exiftool({QStringLiteral("-v2"), path});
    QVERIFY2(blocks.contains(QStringLiteral("Tag 0xa0000009 (%1 bytes)").arg(shortcutbytes::extraBlocks(bytes).value(0).size())),
             qPrintable(blocks));

    Link again;
    QCOMPARE(again.load(path), S_OK);
    QCOMPARE(again.appId(), appId);
}

void TestPlatform::propertyChangesNeedCommit()
{
    const QString path = m_dir.filePath(QStringLiteral("uncommitted.lnk"));
    QVERIFY(writeFile(path, shortcutbytes::shellStyleShortcut()));
    Link l;
    QCOMPARE(l.load(path), S_OK);
    QCOMPARE(l.setAppId(QStringLiteral("Not.Committed")), S_OK);
    QCOMPARE(l.appId(), QStringLiteral("Not.Committed")); // the store sees its own change
    QCOMPARE(l.file->IsDirty(), S_FALSE);
    QCOMPARE(l.file->Save(path.toStdWString().c_str(), TRUE), S_OK);
    QCOMPARE(shortcutbytes::stringProperty(readFile(path), shortcutbytes::appUserModelFormat(), 5), QString());
}

void TestPlatform::malformedShortcutsAreRefused_data()
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
    badStorage[good.indexOf(QByteArray("1SPS"))] = 'X';
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated header") << good.left(40);
    QTest::newRow("wrong class id") << wrongClass;
    QTest::newRow("id list past end") << idListPastEnd;
    QTest::newRow("extra block past end") << blockPastEnd;
    QTest::newRow("bad property storage") << badStorage;
    QTest::newRow("cut in the strings") << good.left(good.indexOf(QByteArray("-\0-\0p", 5)));
}

void TestPlatform::malformedShortcutsAreRefused()
{
    QFETCH(QByteArray, data);
    const QString path = m_dir.filePath(QStringLiteral("bad.lnk"));
    QVERIFY(writeFile(path, data));
    Link l;
    QCOMPARE(l.load(path), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    // The object is still usable for a good file.
    const QString good = m_dir.filePath(QStringLiteral("good.lnk"));
    QVERIFY(writeFile(good, shortcutbytes::shellStyleShortcut()));
    QCOMPARE(l.load(good), S_OK);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
