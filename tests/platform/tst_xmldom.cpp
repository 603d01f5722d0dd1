// Guards the XML semantics the builders rely on: template texts, escaping read back unchanged, attribute values.
#include "testdata.h"
#include "winrttest.h"

#include <winsim/control.h>

#include <QtTest>

using namespace winrttest;

namespace {

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

} // namespace

class TestXmlDom : public QObject
{
    Q_OBJECT

private slots:
    void init() { winsim::control::reset(); }

    void templates_data();
    void templates();
    void escaping_data();
    void escaping();
    void attributeValue();
    void charactersXmlForbids_data();
    void charactersXmlForbids();
    void badTextKeepsDocument_data();
    void badTextKeepsDocument();
};

void TestXmlDom::templates_data()
{
    QTest::addColumn<int>("type");
    const char* names[] = {"ToastImageAndText01", "ToastImageAndText02", "ToastImageAndText03", "ToastImageAndText04",
                           "ToastText01",         "ToastText02",         "ToastText03",         "ToastText04"};
    for (int type = 0; type < 8; ++type)
        QTest::newRow(names[type]) << type;
}

void TestXmlDom::templates()
{
    QFETCH(int, type);
    ComPtr<IXmlDocument> doc = templateDocument(type);
    QVERIFY(doc);
    QCOMPARE(xmlOf(doc), testdata::text("templates.txt", QTest::currentDataTag()));
    // Each call hands out a document of its own.
    QVERIFY(templateDocument(type).Get() != doc.Get());
}

void TestXmlDom::escaping_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("asText");
    QTest::addColumn<QString>("asAttribute");
    QTest::newRow("ampersand") << "a&b" << "a&amp;b" << "a&amp;b";
    QTest::newRow("angle brackets") << "<b>x</b>" << "&lt;b&gt;x&lt;/b&gt;" << "&lt;b&gt;x&lt;/b&gt;";
    QTest::newRow("quotes") << "say \"hi\" it's" << "say \"hi\" it's" << "say &quot;hi&quot; it's";
    QTest::newRow("already escaped") << "&amp;" << "&amp;amp;" << "&amp;amp;";
    QTest::newRow("injection attempt") << "\"/><image src=\"x" << "\"/&gt;&lt;image src=\"x" << "&quot;/&gt;&lt;image src=&quot;x";
    QTest::newRow("non-latin") << "Grüße ✓" << "Grüße ✓" << "Grüße ✓";
    // A reader turns a raw line break or tab in an attribute into a space.
    QTest::newRow("line break and tab") << "one\ntwo\tthree" << "one\ntwo\tthree" << "one&#xA;two&#x9;three";
}

void TestXmlDom::escaping()
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
    // What was written reads back as the same value.
    ComPtr<IXmlDocument> reloaded = document(xml);
    QVERIFY(reloaded);
    QCOMPARE(attributeOf(item(reloaded, "text", 0), "hint"), value);
    QCOMPARE(xmlOf(reloaded), xml);
}

// The builders write a value by appending text to the attribute node; SetAttribute replaces it whole.
void TestXmlDom::attributeValue()
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

// Such text is the host's to give; a document written with it could not be read back.
void TestXmlDom::charactersXmlForbids_data()
{
    QTest::addColumn<QString>("character");
    QTest::newRow("vertical tab") << QString(QChar(0x0B));
    QTest::newRow("bell") << QString(QChar(0x07));
    QTest::newRow("escape") << QString(QChar(0x1B));
    QTest::newRow("null") << QString(QChar(0x00));
    QTest::newRow("U+FFFE") << QString(QChar(0xFFFE));
    QTest::newRow("U+FFFF") << QString(QChar(0xFFFF));
}

void TestXmlDom::charactersXmlForbids()
{
    QFETCH(QString, character);
    const QString value = "a" + character + "b\t\U0001F600";
    const QString written = QStringLiteral("a\uFFFDb&#x9;\U0001F600");
    ComPtr<IXmlDocument> doc = templateDocument(4);
    ComPtr<IXmlNode> text = item(doc, "text", 0);
    QCOMPARE(appendText(doc, text, value), S_OK);
    QCOMPARE(setAttribute(text, "hint", value), S_OK);
    const QString xml = xmlOf(doc);
    QCOMPARE(xml, QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text id=\"1\" hint=\"%1\">%2</text>"
                                 "</binding></visual></toast>").arg(written, QString(written).replace("&#x9;", "\t")));
    ComPtr<IXmlDocument> reloaded = document(xml);
    QVERIFY2(reloaded, "the written document cannot be read back");
    QCOMPARE(xmlOf(reloaded), xml);
}

// Text that is not XML leaves a document as it was, an empty one included,
// which would otherwise keep the elements read before the error.
void TestXmlDom::badTextKeepsDocument_data()
{
    QTest::addColumn<QString>("before");
    QTest::newRow("empty") << QString();
    QTest::newRow("loaded") << QStringLiteral("<toast><visual/></toast>");
}

void TestXmlDom::badTextKeepsDocument()
{
    QFETCH(QString, before);
    ComPtr<IXmlDocument> doc = document(before);
    ComPtr<IXmlDocumentIO> io;
    QVERIFY(doc && SUCCEEDED(doc.As(&io)));
    QVERIFY(FAILED(io->LoadXml(HstringWrapper(QStringLiteral("<toast><visual><binding>"), false).get())));
    QCOMPARE(xmlOf(doc), before);
}

QTEST_GUILESS_MAIN(TestXmlDom)
#include "tst_xmldom.moc"
