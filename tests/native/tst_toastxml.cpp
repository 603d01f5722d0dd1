// The toast document builders on the platform's own template documents:
// what they write, what they log, and how they stop when a call fails.
#include "toastxmlbuilders_p.h"

#include "logcapture.h"
#include "nativetestsupport.h"

#include <winsim/control.h>

#include <QtTest>

#include <functional>

using namespace nativetest;
using ABI::Windows::Data::Xml::Dom::IXmlNodeSerializer;

using Build = std::function<HRESULT(IXmlDocument*)>;
Q_DECLARE_METATYPE(Build)

namespace {

// Platform template numbers.
constexpr int k_imageAndText01 = 0;
constexpr int k_imageAndText02 = 1;
constexpr int k_imageAndText04 = 3;
constexpr int k_text01 = 4;
constexpr int k_text02 = 5;

const QString k_text01Xml = QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text id=\"1\"></text></binding></visual></toast>");
const QString k_image01Xml = QStringLiteral(
    "<toast><visual><binding template=\"ToastImageAndText01\"><image id=\"1\" src=\"\"/><text id=\"1\"></text></binding></visual></toast>");
const QString k_image02Xml = QStringLiteral(
    "<toast><visual><binding template=\"ToastImageAndText02\"><image id=\"1\" src=\"\"/><text id=\"1\"></text><text id=\"2\"></text></binding></visual></toast>");

QString builder(const char* name)
{
    return QStringLiteral("`anonymous-namespace'::") + QLatin1String(name);
}

QString errorLine(const QString& where, qint32 hr)
{
    return line(where, QStringLiteral("error result = %1").arg(hr));
}

ToastData request(const QMap<int, QVariant>& map)
{
    ToastData data;
    data.parse(map);
    return data;
}

ComPtr<ABI::Windows::Data::Xml::Dom::IXmlNode> element(IXmlDocument* xml, const wchar_t* tag, UINT32 index)
{
    ComPtr<ABI::Windows::Data::Xml::Dom::IXmlNodeList> list;
    ComPtr<ABI::Windows::Data::Xml::Dom::IXmlNode> node;
    xml->GetElementsByTagName(HstringWrapper(std::wstring(tag), false).get(), &list);
    if (list)
        list->Item(index, &node);
    return node;
}

QString innerText(ABI::Windows::Data::Xml::Dom::IXmlNode* node)
{
    ComPtr<IXmlNodeSerializer> serializer;
    if (!node || FAILED(node->QueryInterface(__uuidof(IXmlNodeSerializer), reinterpret_cast<void**>(serializer.GetAddressOf()))))
        return QString();
    HSTRING text = nullptr;
    serializer->get_InnerText(&text);
    const QString result = QString::fromStdWString(HstringWrapper(text).toWString());
    reinterpret_cast<decltype(&WindowsDeleteString)>(resolveCombaseFunction("WindowsDeleteString"))(text);
    return result;
}

} // namespace

class TestToastXml : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void templateTable_data();
    void templateTable();
    void builderOutput_data();
    void builderOutput();
    void markupArrivesIntact();
    void builderLog_data();
    void builderLog();
    void nullDocumentIsRefused();

private:
    int m_objects = 0;
    int m_strings = 0;
};

void TestToastXml::init()
{
    winsim::control::reset();
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    m_objects = winsim::control::liveObjects();
    m_strings = winsim::control::liveStrings();
}

void TestToastXml::cleanup()
{
    winsim::control::reset();
    winsim::control::unpinOsVersion();
    QCOMPARE(winsim::control::liveObjects(), m_objects);
    QCOMPARE(winsim::control::liveStrings(), m_strings);
}

void TestToastXml::templateTable_data()
{
    QTest::addColumn<int>("tostType");
    QTest::addColumn<int>("platformType");
    QTest::addColumn<int>("textFields");
    QTest::newRow("0 text 1") << 0 << 4 << 1;
    QTest::newRow("1 text 2") << 1 << 5 << 2;
    QTest::newRow("2 text 3") << 2 << 6 << 2;
    QTest::newRow("3 text 4") << 3 << 7 << 3;
    QTest::newRow("4 image 1") << 4 << 0 << 1;
    QTest::newRow("5 image 2") << 5 << 1 << 2;
    QTest::newRow("6 image 3") << 6 << 2 << 2;
    QTest::newRow("7 image 4") << 7 << 3 << 3;
    QTest::newRow("8 refused") << 8 << 0 << 0;
    QTest::newRow("-1 refused") << -1 << 0 << 0;
    QTest::newRow("huge refused") << 0x7fffffff << 0 << 0;
}

void TestToastXml::templateTable()
{
    QFETCH(int, tostType);
    QFETCH(int, platformType);
    QFETCH(int, textFields);
    QCOMPARE(int(toTemplateType(tostType)), platformType);
    QCOMPARE(textFieldCount(tostType), textFields);
}

void TestToastXml::builderOutput_data()
{
    QTest::addColumn<int>("platformType");
    QTest::addColumn<QString>("version");
    QTest::addColumn<Build>("build");
    QTest::addColumn<qint32>("result");
    QTest::addColumn<QString>("xml");

    const QString longPath = QStringLiteral("C:/") + QString(257, QLatin1Char('p'));
    QCOMPARE(longPath.size(), 260);

    QTest::newRow("duration 0 writes nothing") << k_text01 << "10.0.19045" << Build([](IXmlDocument* x) { return addDuration(x, 0); })
                                               << qint32(S_OK) << k_text01Xml;
    for (int type : {1, 3, -1}) {
        QTest::addRow("duration %d is short", type)
            << k_text01 << "10.0.19045" << Build([type](IXmlDocument* x) { return addDuration(x, type); }) << qint32(S_OK)
            << QStringLiteral("<toast duration=\"short\"><visual><binding template=\"ToastText01\"><text id=\"1\"></text></binding></visual></toast>");
    }
    QTest::newRow("duration 2 is long") << k_text01 << "10.0.19045" << Build([](IXmlDocument* x) { return addDuration(x, 2); }) << qint32(S_OK)
                                        << QStringLiteral("<toast duration=\"long\"><visual><binding template=\"ToastText01\"><text id=\"1\"></text></binding></visual></toast>");

    const QString textAudio = QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text id=\"1\"></text></binding></visual>%1</toast>");
    QTest::newRow("audio none") << k_text01 << "10.0.19045" << Build([](IXmlDocument* x) { return setAudioField(x, QString(), 0); })
                                << qint32(S_OK) << k_text01Xml;
    QTest::newRow("audio loop without path") << k_text01 << "10.0.19045" << Build([](IXmlDocument* x) { return setAudioField(x, QString(), 2); })
                                             << qint32(S_OK) << textAudio.arg(QStringLiteral("<audio loop=\"true\"/>"));
    QTest::newRow("audio silent with path") << k_text01 << "10.0.19045"
                                            << Build([](IXmlDocument* x) { return setAudioField(x, QStringLiteral("C:/a.wav"), 1); })
                                            << qint32(S_OK) << textAudio.arg(QStringLiteral("<audio src=\"C:/a.wav\" silent=\"true\"/>"));
    QTest::newRow("audio type 5 keeps only src") << k_text01 << "10.0.19045"
                                                 << Build([](IXmlDocument* x) { return setAudioField(x, QStringLiteral("ms-winsoundevent:Notification.Mail"), 5); })
                                                 << qint32(S_OK) << textAudio.arg(QStringLiteral("<audio src=\"ms-winsoundevent:Notification.Mail\"/>"));
    QTest::newRow("audio type 7 without path") << k_text01 << "10.0.19045" << Build([](IXmlDocument* x) { return setAudioField(x, QString(), 7); })
                                               << qint32(S_OK) << textAudio.arg(QStringLiteral("<audio/>"));

    QTest::newRow("image 260 characters") << k_imageAndText01 << "10.0.19045"
                                          << Build([longPath](IXmlDocument* x) { return setImageField(x, request({{0, 4}, {3, longPath}})); })
                                          << qint32(S_OK) << QString(k_image01Xml).replace(QStringLiteral("src=\"\""), QStringLiteral("src=\"file:///%1\"").arg(longPath));
    QTest::newRow("image 261 characters") << k_imageAndText01 << "10.0.19045"
                                          << Build([longPath](IXmlDocument* x) { return setImageField(x, request({{0, 4}, {3, longPath + 'x'}})); })
                                          << k_fail << k_image01Xml;
    QTest::newRow("image on text template") << k_text01 << "10.0.19045"
                                            << Build([](IXmlDocument* x) { return setImageField(x, request({{0, 0}, {3, "C:/a.png"}})); })
                                            << qint32(S_OK) << k_text01Xml;
    QTest::newRow("image path kept as given") << k_imageAndText01 << "10.0.19045"
                                              << Build([](IXmlDocument* x) { return setImageField(x, request({{0, 4}, {3, "C:\\a b\\c.png"}})); })
                                              << qint32(S_OK) << QString(k_image01Xml).replace(QStringLiteral("src=\"\""), QStringLiteral("src=\"file:///C:\\a b\\c.png\""));

    const QString heroRequestXml = QStringLiteral(
        "<toast><visual><binding template=\"ToastImageAndText01\"><image id=\"1\" src=\"\"/><text id=\"1\"></text>%1</binding></visual></toast>");
    QTest::newRow("hero on 10586 unsupported") << k_imageAndText01 << "10.0.10586"
                                               << Build([](IXmlDocument* x) { return setHeroImage(x, request({{0, 4}, {6, "C:/h.png"}})); })
                                               << qint32(S_OK) << k_image01Xml;
    QTest::newRow("hero on 14393") << k_imageAndText01 << "10.0.14393"
                                   << Build([](IXmlDocument* x) { return setHeroImage(x, request({{0, 4}, {6, "C:/h.png"}})); })
                                   << qint32(S_OK) << heroRequestXml.arg(QStringLiteral("<image placement=\"hero\" src=\"C:/h.png\"/>"));
    QTest::newRow("inline image on 14393") << k_imageAndText01 << "10.0.14393"
                                           << Build([](IXmlDocument* x) { return setHeroImage(x, request({{0, 4}, {6, "C:/h.png"}, {11, true}})); })
                                           << qint32(S_OK) << heroRequestXml.arg(QStringLiteral("<image src=\"C:/h.png\"/>"));
    QTest::newRow("hero on text template") << k_text01 << "10.0.19045"
                                           << Build([](IXmlDocument* x) { return setHeroImage(x, request({{0, 0}, {6, "C:/h.png"}})); })
                                           << qint32(S_OK) << k_text01Xml;
    QTest::newRow("hero on no windows") << k_imageAndText01 << ""
                                        << Build([](IXmlDocument* x) { return setHeroImage(x, request({{0, 4}, {6, "C:/h.png"}})); })
                                        << qint32(S_OK) << k_image01Xml;

    QTest::newRow("text past the last element") << k_imageAndText04 << "10.0.19045"
                                                << Build([](IXmlDocument* x) { return setTextField(x, QStringLiteral("four"), 3); })
                                                << k_fail
                                                << QStringLiteral("<toast><visual><binding template=\"ToastImageAndText04\"><image id=\"1\" src=\"\"/>"
                                                                  "<text id=\"1\"></text><text id=\"2\"></text><text id=\"3\"></text></binding></visual></toast>");
    QTest::newRow("negative text position") << k_text01 << "10.0.19045" << Build([](IXmlDocument* x) { return setTextField(x, QStringLiteral("x"), -1); })
                                            << k_fail << k_text01Xml;
    QTest::newRow("empty text refused") << k_text01 << "10.0.19045" << Build([](IXmlDocument* x) { return setTextField(x, QString(), 0); })
                                        << k_fail << k_text01Xml;
    QTest::newRow("attribution marks its own line") << k_imageAndText02 << "10.0.19045"
                                                    << Build([](IXmlDocument* x) { return setAttributionTextField(x, QStringLiteral("via Cloud")); })
                                                    << qint32(S_OK)
                                                    << QString(k_image02Xml).replace(QStringLiteral("</binding>"),
                                                                                      QStringLiteral("<text placement=\"attribution\">via Cloud</text></binding>"));
    QTest::newRow("two actions share one container") << k_text02 << "10.0.19045"
                                                     << Build([](IXmlDocument* x) {
                                                            const HRESULT first = addAction(x, QStringLiteral("A"), QStringLiteral("a"));
                                                            return first < 0 ? first : addAction(x, QStringLiteral("B"), QStringLiteral("b"));
                                                        })
                                                     << qint32(S_OK)
                                                     << QStringLiteral("<toast template=\"ToastGeneric\" duration=\"long\"><visual><binding template=\"ToastText02\">"
                                                                       "<text id=\"1\"></text><text id=\"2\"></text></binding></visual><actions>"
                                                                       "<action content=\"A\" arguments=\"a\"/><action content=\"B\" arguments=\"b\"/></actions></toast>");
    QTest::newRow("duration after an action") << k_text01 << "10.0.19045"
                                              << Build([](IXmlDocument* x) {
                                                     addAction(x, QStringLiteral("A"), QStringLiteral("a"));
                                                     return addDuration(x, 1);
                                                 })
                                              << qint32(S_OK)
                                              << QStringLiteral("<toast template=\"ToastGeneric\" duration=\"short\"><visual><binding template=\"ToastText01\">"
                                                                "<text id=\"1\"></text></binding></visual><actions><action content=\"A\" arguments=\"a\"/></actions></toast>");
    QTest::newRow("string value twice") << k_text01 << "10.0.19045"
                                        << Build([](IXmlDocument* x) {
                                               ComPtr<ABI::Windows::Data::Xml::Dom::IXmlNode> text = element(x, L"text", 0);
                                               setNodeStringValue(QStringLiteral("ab"), text.Get(), x);
                                               return setNodeStringValue(QStringLiteral("cd"), text.Get(), x);
                                           })
                                        << qint32(S_OK) << QString(k_text01Xml).replace(QStringLiteral("></text>"), QStringLiteral(">abcd</text>"));
    QTest::newRow("generic binding") << k_imageAndText01 << "10.0.19045" << Build([](IXmlDocument* x) { return setBindToastGeneric(x); })
                                     << qint32(S_OK) << QString(k_image01Xml).replace(QStringLiteral("ToastImageAndText01"), QStringLiteral("ToastGeneric"));
    QTest::newRow("attribute on a missing tag") << k_text01 << "10.0.19045"
                                                << Build([](IXmlDocument* x) { return addAttributeByTagName(x, "image", "src", "x"); })
                                                << k_fail << k_text01Xml;
}

void TestToastXml::builderOutput()
{
    QFETCH(int, platformType);
    QFETCH(QString, version);
    QFETCH(Build, build);
    QFETCH(qint32, result);
    QFETCH(QString, xml);
    winsim::control::pinOsVersion(QVersionNumber::fromString(version));
    LogCapture log;
    ComPtr<IXmlDocument> document = templateDocument(platformType);
    QVERIFY(document);
    QCOMPARE(qint32(build(document.Get())), result);
    QCOMPARE(serialize(document.Get()), xml);
}

void TestToastXml::markupArrivesIntact()
{
    const QString text = QStringLiteral("Tom & Jerry <b>\"bold\"</b> 'it's' > 1");
    ComPtr<IXmlDocument> document = templateDocument(k_text02);
    QCOMPARE(qint32(setTextField(document.Get(), text, 0)), qint32(S_OK));
    QCOMPARE(qint32(addAction(document.Get(), text, text)), qint32(S_OK));
    QCOMPARE(innerText(element(document.Get(), L"text", 0).Get()), text);

    const QString xml = serialize(document.Get());
    QVERIFY2(xml.contains(QStringLiteral("<text id=\"1\">Tom &amp; Jerry &lt;b&gt;\"bold\"&lt;/b&gt; 'it's' &gt; 1</text>")), qPrintable(xml));
    QVERIFY2(xml.contains(QStringLiteral("content=\"Tom &amp; Jerry &lt;b&gt;&quot;bold&quot;&lt;/b&gt; 'it's' &gt; 1\"")), qPrintable(xml));
    QVERIFY(!xml.contains(QStringLiteral("<b>")));
}

void TestToastXml::builderLog_data()
{
    QTest::addColumn<int>("platformType");
    QTest::addColumn<Build>("build");
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("skip");
    QTest::addColumn<bool>("nullResult");
    QTest::addColumn<qint32>("result");
    QTest::addColumn<QStringList>("lines");

    const qint32 bad = k_invalidArg;
    const QString textBegin = line(builder("setTextField"), QStringLiteral("begin text:Hello pos:0"));
    const QString textEnd = line(builder("setTextField"), QStringLiteral("end"));
    const QString valueBegin = line(builder("setNodeStringValue"), QStringLiteral("begin stringValue:Hello"));
    const QString valueEnd = line(builder("setNodeStringValue"), QStringLiteral("end"));
    const Build hello = [](IXmlDocument* x) { return setTextField(x, QStringLiteral("Hello"), 0); };

    QTest::newRow("text node fails") << k_text01 << hello << "IXmlDocument::CreateTextNode" << 0 << false << bad
                                     << QStringList{textBegin, valueBegin,
                                                    errorLine(QStringLiteral("xml->CreateTextNode(HstringWrapper(str, false).get(), &textNode)"), bad),
                                                    valueEnd, errorLine(QStringLiteral("setNodeStringValue(text, node.Get(), xml)"), bad), textEnd};
    QTest::newRow("text node null") << k_text01 << hello << "IXmlDocument::CreateTextNode" << 0 << true << k_fail
                                    << QStringList{textBegin, valueBegin,
                                                   line(QStringLiteral("xml->CreateTextNode(HstringWrapper(str, false).get(), &textNode)"), QStringLiteral("error param")),
                                                   valueEnd, errorLine(QStringLiteral("setNodeStringValue(text, node.Get(), xml)"), k_fail), textEnd};
    QTest::newRow("text node as node fails") << k_text01 << hello << "QueryInterface(IXmlNode)" << 0 << false << bad
                                             << QStringList{textBegin, valueBegin, errorLine(QStringLiteral("textNode.As(&stringNode)"), bad), valueEnd,
                                                            errorLine(QStringLiteral("setNodeStringValue(text, node.Get(), xml)"), bad), textEnd};
    QTest::newRow("append text null") << k_text01 << hello << "IXmlNode::AppendChild" << 0 << true << k_fail
                                      << QStringList{textBegin, valueBegin,
                                                     line(QStringLiteral("node->AppendChild(stringNode.Get(), &appendChild)"), QStringLiteral("error param")), valueEnd,
                                                     errorLine(QStringLiteral("setNodeStringValue(text, node.Get(), xml)"), k_fail), textEnd};
    QTest::newRow("text list fails") << k_text01 << hello << "IXmlDocument::GetElementsByTagName" << 0 << false << bad
                                     << QStringList{textBegin, errorLine(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(k_text, false).get(), &nodeList)"), bad), textEnd};
    QTest::newRow("text item missing") << k_text01 << Build([](IXmlDocument* x) { return setTextField(x, QStringLiteral("Hello"), 1); }) << "" << 0 << false << k_fail
                                       << QStringList{line(builder("setTextField"), QStringLiteral("begin text:Hello pos:1")),
                                                      line(QStringLiteral("nodeList->Item(static_cast<UINT32>(pos), &node)"), QStringLiteral("error param")), textEnd};
    QTest::newRow("empty key") << k_text01 << Build([](IXmlDocument* x) { return addAttributeByTagName(x, "toast", "", "v"); }) << "" << 0 << false << k_fail
                               << QStringList{line(builder("addAttributeByTagName"), QStringLiteral("begin tag:toast key: value:v")),
                                              line(builder("addAttributeByTagName"), QStringLiteral("end"))};

    const QString durationBegin = line(builder("addDuration"), QStringLiteral("begin type:2"));
    const QString attrBegin = line(builder("addAttributeByTagName"), QStringLiteral("begin tag:toast key:duration value:long"));
    QTest::newRow("duration attribute fails") << k_text01 << Build([](IXmlDocument* x) { return addDuration(x, 2); }) << "IXmlElement::SetAttribute" << 0 << false << bad
                                              << QStringList{durationBegin, attrBegin,
                                                             errorLine(QStringLiteral("toastElement->SetAttribute(HstringWrapper(key, false).get(), HstringWrapper(value, false).get())"), bad),
                                                             line(builder("addAttributeByTagName"), QStringLiteral("end")),
                                                             errorLine(QStringLiteral("addAttributeByTagName(xml, \"toast\", \"duration\", durationString)"), bad),
                                                             line(builder("addDuration"), QStringLiteral("end"))};
    QTest::newRow("duration length fails") << k_text01 << Build([](IXmlDocument* x) { return addDuration(x, 2); }) << "IXmlNodeList::get_Length" << 0 << false << bad
                                           << QStringList{durationBegin, attrBegin, errorLine(QStringLiteral("nodeList->get_Length(&len)"), bad),
                                                          line(builder("addAttributeByTagName"), QStringLiteral("end")),
                                                          errorLine(QStringLiteral("addAttributeByTagName(xml, \"toast\", \"duration\", durationString)"), bad),
                                                          line(builder("addDuration"), QStringLiteral("end"))};
    QTest::newRow("duration system type") << k_text01 << Build([](IXmlDocument* x) { return addDuration(x, 0); }) << "" << 0 << false << qint32(S_OK)
                                          << QStringList{line(builder("addDuration"), QStringLiteral("begin type:0")),
                                                         line(builder("addDuration"), QStringLiteral("system type")),
                                                         line(builder("addDuration"), QStringLiteral("end"))};

    const Build oneAction = [](IXmlDocument* x) { return addAction(x, QStringLiteral("Open"), QStringLiteral("open")); };
    const QString actionBegin = line(builder("addAction"), QStringLiteral("begin content:Open arguments:open"));
    const QString actionEnd = line(builder("addAction"), QStringLiteral("end"));
    QTest::newRow("toast element view fails") << k_text01 << oneAction << "QueryInterface(IXmlElement)" << 0 << false << bad
                                              << QStringList{actionBegin, errorLine(QStringLiteral("toastNode.As(&toastElement)"), bad), actionEnd};
    QTest::newRow("toast template fails") << k_text01 << oneAction << "IXmlElement::SetAttribute" << 0 << false << bad
                                          << QStringList{actionBegin,
                                                         errorLine(QStringLiteral("toastElement->SetAttribute(HstringWrapper(k_template, false).get(), HstringWrapper(k_toastGeneric, false).get())"), bad),
                                                         actionEnd};
    QTest::newRow("action arguments fail") << k_text01 << oneAction << "IXmlElement::SetAttribute" << 3 << false << bad
                                           << QStringList{actionBegin,
                                                          errorLine(QStringLiteral("actionElement->SetAttribute(HstringWrapper(k_arguments, false).get(), HstringWrapper(arguments, false).get())"), bad),
                                                          actionEnd};
    QTest::newRow("container append null") << k_text01 << oneAction << "IXmlNode::AppendChild" << 0 << true << k_fail
                                           << QStringList{actionBegin, line(QStringLiteral("toastNode->AppendChild(actionsNode.Get(), &appendChild)"), QStringLiteral("error param")),
                                                          actionEnd};

    QTest::newRow("attribution element fails") << k_text01 << Build([](IXmlDocument* x) { return setAttributionTextField(x, QStringLiteral("via")); })
                                               << "IXmlDocument::CreateElement" << 0 << false << bad
                                               << QStringList{errorLine(QStringLiteral("xml->CreateElement(HstringWrapper(elementName, false).get(), &element)"), bad),
                                                              errorLine(QStringLiteral("createElement(xml, \"binding\", \"text\", { \"placement\" })"), bad)};
    QTest::newRow("attribution lookup fails") << k_text01 << Build([](IXmlDocument* x) { return setAttributionTextField(x, QStringLiteral("via")); })
                                              << "IXmlNamedNodeMap::GetNamedItem" << 0 << false << bad
                                              << QStringList{errorLine(QStringLiteral("attributes->GetNamedItem(HstringWrapper(k_placement, false).get(), &editNode)"), bad)};

    QTest::newRow("audio source lookup null") << k_text01 << Build([](IXmlDocument* x) { return setAudioField(x, QStringLiteral("a.wav"), 2); })
                                              << "IXmlNamedNodeMap::GetNamedItem" << 0 << true << k_fail
                                              << QStringList{line(QStringLiteral("attributes->GetNamedItem(HstringWrapper(k_src, false).get(), &editNode)"), QStringLiteral("error param"))};
    QTest::newRow("audio loop value fails") << k_text01 << Build([](IXmlDocument* x) { return setAudioField(x, QString(), 2); })
                                            << "IXmlDocument::CreateTextNode" << 0 << false << bad
                                            << QStringList{line(builder("setNodeStringValue"), QStringLiteral("begin stringValue:true")),
                                                           errorLine(QStringLiteral("xml->CreateTextNode(HstringWrapper(str, false).get(), &textNode)"), bad),
                                                           line(builder("setNodeStringValue"), QStringLiteral("end")),
                                                           errorLine(QStringLiteral("setNodeStringValue(QString::fromStdWString(L\"true\"), editNode.Get(), xml)"), bad)};

    const QMap<int, QVariant> heroRequest{{0, 4}, {3, "logo.png"}, {6, "hero.png"}};
    const Build image = [heroRequest](IXmlDocument* x) { return setImageField(x, request(heroRequest)); };
    const QString imagePlace = builder("setImageField");
    QTest::newRow("logo placement fails") << k_imageAndText01 << image << "IXmlElement::SetAttribute" << 0 << false << bad
                                          << QStringList{line(imagePlace, QStringLiteral("begin setImage")), line(imagePlace, QStringLiteral("is Toast Generic")),
                                                         errorLine(QStringLiteral("imageElement->SetAttribute(HstringWrapper(k_placement, false).get(), HstringWrapper(k_appLogoOverrige, false).get())"), bad)};
    QTest::newRow("logo view fails silently") << k_imageAndText01 << image << "QueryInterface(IXmlElement)" << 0 << false << qint32(S_OK)
                                              << QStringList{line(imagePlace, QStringLiteral("begin setImage")), line(imagePlace, QStringLiteral("is Toast Generic")),
                                                             line(builder("setNodeStringValue"), QStringLiteral("begin stringValue:file:///logo.png")),
                                                             line(builder("setNodeStringValue"), QStringLiteral("end"))};
    QTest::newRow("logo source text fails, image still set") << k_imageAndText01 << image << "IXmlDocument::CreateTextNode" << 0 << false << qint32(S_OK)
                                                             << QStringList{line(imagePlace, QStringLiteral("begin setImage")), line(imagePlace, QStringLiteral("is Toast Generic")),
                                                                            line(builder("setNodeStringValue"), QStringLiteral("begin stringValue:file:///logo.png")),
                                                                            errorLine(QStringLiteral("xml->CreateTextNode(HstringWrapper(str, false).get(), &textNode)"), bad),
                                                                            line(builder("setNodeStringValue"), QStringLiteral("end"))};
    QTest::newRow("image too long") << k_imageAndText01 << Build([](IXmlDocument* x) { return setImageField(x, request({{0, 4}, {3, QString(261, 'x')}})); })
                                    << "" << 0 << false << k_fail
                                    << QStringList{line(imagePlace, QStringLiteral("begin setImage")), line(imagePlace, QStringLiteral("filePath size > MAX_PATH"))};

    const Build hero = [heroRequest](IXmlDocument* x) { return setHeroImage(x, request(heroRequest)); };
    const QString heroPlace = builder("setHeroImage");
    QTest::newRow("hero binding length fails") << k_imageAndText01 << hero << "IXmlNodeList::get_Length" << 0 << false << bad
                                               << QStringList{errorLine(QStringLiteral("nodeList->get_Length(&len)"), bad)};
    QTest::newRow("hero element null") << k_imageAndText01 << hero << "IXmlDocument::CreateElement" << 0 << true << k_fail
                                       << QStringList{line(QStringLiteral("xml->CreateElement(HstringWrapper(k_image, false).get(), &imageElement)"), QStringLiteral("error param"))};
    QTest::newRow("hero source fails") << k_imageAndText01 << hero << "IXmlElement::SetAttribute" << 1 << false << bad
                                       << QStringList{line(heroPlace, QStringLiteral(" not inline image")),
                                                      errorLine(QStringLiteral("imageElement->SetAttribute(HstringWrapper(k_src, false).get(), HstringWrapper(data.heroImagePath(), false).get())"), bad)};
    QTest::newRow("hero append fails") << k_imageAndText01 << hero << "IXmlNode::AppendChild" << 0 << false << bad
                                       << QStringList{line(heroPlace, QStringLiteral(" not inline image")),
                                                      errorLine(QStringLiteral("bindingNode->AppendChild(actionNode.Get(), &appendChild)"), bad)};
    QTest::newRow("hero on text template") << k_text01 << Build([](IXmlDocument* x) { return setHeroImage(x, request({{0, 0}, {6, "h.png"}})); })
                                           << "" << 0 << false << qint32(S_OK) << QStringList{line(heroPlace, QStringLiteral("no support feature"))};
}

void TestToastXml::builderLog()
{
    QFETCH(int, platformType);
    QFETCH(Build, build);
    QFETCH(QString, call);
    QFETCH(int, skip);
    QFETCH(bool, nullResult);
    QFETCH(qint32, result);
    QFETCH(QStringList, lines);
    ComPtr<IXmlDocument> document = templateDocument(platformType);
    QVERIFY(document);
    if (!call.isEmpty()) {
        if (nullResult)
            winsim::control::nullResultOnCall(call, winsim::control::Repeat::Once, skip);
        else
            winsim::control::failCall(call, k_invalidArg, winsim::control::Repeat::Once, skip);
    }
    LogCapture log;
    QCOMPARE(qint32(build(document.Get())), result);
    QCOMPARE(log.lines(), lines);
    QCOMPARE(winsim::control::pendingFaults(), 0);
    for (const QString& tag : log.tags())
        QCOMPARE(tag, QStringLiteral("vantor_feature:toast"));
}

void TestToastXml::nullDocumentIsRefused()
{
    LogCapture log;
    const ToastData data = request({{0, 4}, {6, "h.png"}});
    QCOMPARE(qint32(createElement(nullptr, "toast", "audio", {})), k_fail);
    QCOMPARE(qint32(addEmptyAttribute(nullptr, "src", nullptr)), k_fail);
    QCOMPARE(qint32(setAttributionTextField(nullptr, "a")), k_fail);
    QCOMPARE(qint32(setAudioField(nullptr, "a.wav", 0)), k_fail);
    QCOMPARE(qint32(setHeroImage(nullptr, data)), k_fail);
    QCOMPARE(log.lines(), QStringList());
    // Builders with an entry line still close it.
    QCOMPARE(qint32(setNodeStringValue("v", nullptr, nullptr)), k_fail);
    QCOMPARE(log.lines(), (QStringList{line(builder("setNodeStringValue"), "begin stringValue:v"), line(builder("setNodeStringValue"), "end")}));
}

QTEST_GUILESS_MAIN(TestToastXml)
#include "tst_toastxml.moc"
