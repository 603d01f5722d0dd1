// The simulated XML document model: what Windows hands out and how it behaves.
#include "winrttesthelpers.h"

#include <winsim/control.h>

#include <QtTest>

#include <algorithm>
#include <functional>

using namespace winrttest;

namespace {

HSTRING str(const HstringWrapper& wrapper)
{
    return wrapper.get();
}

QString attributeOf(const ComPtr<IXmlNode>& node, const QString& name)
{
    ComPtr<IXmlElement> element;
    if (!node || FAILED(node.As(&element)))
        return QStringLiteral("<no element>");
    HSTRING value = nullptr;
    element->GetAttribute(HstringWrapper(name, false).get(), &value);
    return take(value);
}

ComPtr<IXmlNode> asNode(IInspectable* object)
{
    ComPtr<IXmlNode> node;
    if (object)
        object->QueryInterface(IID_PPV_ARGS(&node));
    return node;
}

ComPtr<IXmlNode> newElement(const ComPtr<IXmlDocument>& doc, const QString& name)
{
    ComPtr<IXmlElement> element;
    doc->CreateElement(HstringWrapper(name, false).get(), &element);
    return asNode(element.Get());
}

ComPtr<IXmlNode> newAttribute(const ComPtr<IXmlDocument>& doc, const QString& name)
{
    ComPtr<IXmlAttribute> attribute;
    doc->CreateAttribute(HstringWrapper(name, false).get(), &attribute);
    return asNode(attribute.Get());
}

const QHash<QString, std::function<HRESULT(const ComPtr<IXmlDocument>&)>>& treeViolations()
{
    static const QHash<QString, std::function<HRESULT(const ComPtr<IXmlDocument>&)>> cases = {
        {QStringLiteral("element into attribute"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlNode> appended;
             return newAttribute(doc, QStringLiteral("src"))->AppendChild(newElement(doc, QStringLiteral("b")).Get(), &appended);
         }},
        {QStringLiteral("attribute as child"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlNode> appended;
             return item(doc, QStringLiteral("a"), 0)->AppendChild(newAttribute(doc, QStringLiteral("src")).Get(), &appended);
         }},
        {QStringLiteral("second document element"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlNode> appended;
             return asNode(doc.Get())->AppendChild(newElement(doc, QStringLiteral("b")).Get(), &appended);
         }},
        {QStringLiteral("ancestor under descendant"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlNode> appended;
             return item(doc, QStringLiteral("c"), 0)->AppendChild(item(doc, QStringLiteral("a"), 0).Get(), &appended);
         }},
        {QStringLiteral("node of another document"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlDocument> other = document(QStringLiteral("<x/>"));
             ComPtr<IXmlNode> appended;
             return item(doc, QStringLiteral("a"), 0)->AppendChild(newElement(other, QStringLiteral("y")).Get(), &appended);
         }},
        {QStringLiteral("child of a text node"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlNode> text;
             item(doc, QStringLiteral("c"), 0)->get_FirstChild(&text);
             ComPtr<IXmlNode> appended;
             return text->AppendChild(newElement(doc, QStringLiteral("b")).Get(), &appended);
         }},
        {QStringLiteral("null child"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlNode> appended;
             return item(doc, QStringLiteral("a"), 0)->AppendChild(nullptr, &appended);
         }},
        {QStringLiteral("invalid element name"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlElement> element;
             return doc->CreateElement(HstringWrapper(QStringLiteral("1bad name"), false).get(), &element);
         }},
        {QStringLiteral("empty attribute name"),
         [](const ComPtr<IXmlDocument>& doc) {
             ComPtr<IXmlElement> element;
             item(doc, QStringLiteral("a"), 0).As(&element);
             return element->SetAttribute(nullptr, HstringWrapper(QStringLiteral("v"), false).get());
         }},
    };
    return cases;
}

} // namespace

class TestXmlDom : public QObject
{
    Q_OBJECT

private slots:
    void init() { winsim::control::reset(); }

    void templatesAsWindowsWritesThem_data();
    void templatesAsWindowsWritesThem();
    void escaping_data();
    void escaping();
    void textAppendedToAttributeExtendsIt();
    void itemsPastTheEndAreNull();
    void setNamedItemAddsOrReplacesByName();
    void treeViolationsAreRefused_data();
    void treeViolationsAreRefused();
    void appendingMovesANode();
    void childEditsKeepOrder_data();
    void childEditsKeepOrder();
    void characterDataEdits_data();
    void characterDataEdits();
    void emptyElementsKeepTheirForm();
    void malformedTextLeavesDocumentAsItWas_data();
    void malformedTextLeavesDocumentAsItWas();

    void injectedFaults();
    void callTraceNamesEveryCall();
    void objectsAreReleased();
};

void TestXmlDom::templatesAsWindowsWritesThem_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("xml");
    const QString image = QStringLiteral("<image id=\"1\" src=\"\"/>");
    const QString t1 = QStringLiteral("<text id=\"1\"></text>");
    const QString t2 = QStringLiteral("<text id=\"2\"></text>");
    const QString t3 = QStringLiteral("<text id=\"3\"></text>");
    auto doc = [](const char* name, const QString& body) {
        return QStringLiteral("<toast><visual><binding template=\"%1\">%2</binding></visual></toast>").arg(QLatin1String(name), body);
    };
    QTest::newRow("ToastImageAndText01") << 0 << doc("ToastImageAndText01", image + t1);
    QTest::newRow("ToastImageAndText02") << 1 << doc("ToastImageAndText02", image + t1 + t2);
    QTest::newRow("ToastImageAndText03") << 2 << doc("ToastImageAndText03", image + t1 + t2);
    QTest::newRow("ToastImageAndText04") << 3 << doc("ToastImageAndText04", image + t1 + t2 + t3);
    QTest::newRow("ToastText01") << 4 << doc("ToastText01", t1);
    QTest::newRow("ToastText02") << 5 << doc("ToastText02", t1 + t2);
    QTest::newRow("ToastText03") << 6 << doc("ToastText03", t1 + t2);
    QTest::newRow("ToastText04") << 7 << doc("ToastText04", t1 + t2 + t3);
}

void TestXmlDom::templatesAsWindowsWritesThem()
{
    QFETCH(int, type);
    QFETCH(QString, xml);
    ComPtr<IXmlDocument> doc = templateDocument(type);
    QVERIFY(doc);
    QCOMPARE(xmlOf(doc), xml);
    // Each call hands out a document of its own.
    ComPtr<IXmlDocument> again = templateDocument(type);
    QVERIFY(again.Get() != doc.Get());
}

void TestXmlDom::escaping_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("asText");
    QTest::addColumn<QString>("asAttribute");
    QTest::newRow("ampersand") << QStringLiteral("a&b") << QStringLiteral("a&amp;b") << QStringLiteral("a&amp;b");
    QTest::newRow("angle brackets") << QStringLiteral("<b>x</b>") << QStringLiteral("&lt;b&gt;x&lt;/b&gt;")
                                    << QStringLiteral("&lt;b&gt;x&lt;/b&gt;");
    QTest::newRow("quotes") << QStringLiteral("say \"hi\" it's") << QStringLiteral("say \"hi\" it's")
                            << QStringLiteral("say &quot;hi&quot; it's");
    QTest::newRow("already escaped") << QStringLiteral("&amp;") << QStringLiteral("&amp;amp;") << QStringLiteral("&amp;amp;");
    QTest::newRow("injection attempt") << QStringLiteral("\"/><image src=\"x")
                                       << QStringLiteral("\"/&gt;&lt;image src=\"x")
                                       << QStringLiteral("&quot;/&gt;&lt;image src=&quot;x");
    QTest::newRow("non-latin") << QStringLiteral("Grüße ✓") << QStringLiteral("Grüße ✓") << QStringLiteral("Grüße ✓");
}

void TestXmlDom::escaping()
{
    QFETCH(QString, value);
    QFETCH(QString, asText);
    QFETCH(QString, asAttribute);
    ComPtr<IXmlDocument> doc = templateDocument(4);
    ComPtr<IXmlNode> text = item(doc, QStringLiteral("text"), 0);
    QCOMPARE(appendText(doc, text, value), S_OK);
    ComPtr<IXmlElement> element;
    QCOMPARE(text.As(&element), S_OK);
    QCOMPARE(element->SetAttribute(HstringWrapper(QStringLiteral("hint"), false).get(), HstringWrapper(value, false).get()),
             S_OK);
    const QString xml = xmlOf(doc);
    QCOMPARE(xml, QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text id=\"1\" hint=\"%1\">%2</text>"
                                 "</binding></visual></toast>")
                      .arg(asAttribute, asText));
    // What was written reads back as the same value.
    ComPtr<IXmlDocument> reloaded = document(xml);
    QVERIFY(reloaded);
    QCOMPARE(attributeOf(item(reloaded, QStringLiteral("text"), 0), QStringLiteral("hint")), value);
    QCOMPARE(xmlOf(reloaded), xml);
}

void TestXmlDom::textAppendedToAttributeExtendsIt()
{
    ComPtr<IXmlDocument> doc = templateDocument(0);
    ComPtr<IXmlNode> image = item(doc, QStringLiteral("image"), 0);
    ComPtr<IXmlNamedNodeMap> attributes;
    QCOMPARE(image->get_Attributes(&attributes), S_OK);
    ComPtr<IXmlNode> src;
    QCOMPARE(attributes->GetNamedItem(HstringWrapper(QStringLiteral("src"), false).get(), &src), S_OK);
    QVERIFY(src);
    QCOMPARE(appendText(doc, src, QStringLiteral("file:///")), S_OK);
    QCOMPARE(appendText(doc, src, QStringLiteral("C:/a b.png")), S_OK);
    QCOMPARE(attributeOf(image, QStringLiteral("src")), QStringLiteral("file:///C:/a b.png"));
    ComPtr<IXmlAttribute> attribute;
    QCOMPARE(src.As(&attribute), S_OK);
    HSTRING value = nullptr;
    QCOMPARE(attribute->get_Value(&value), S_OK);
    QCOMPARE(take(value), QStringLiteral("file:///C:/a b.png"));
    QCOMPARE(xmlOf(image), QStringLiteral("<image id=\"1\" src=\"file:///C:/a b.png\"/>"));
    // SetAttribute replaces the whole value, text children included.
    ComPtr<IXmlElement> element;
    image.As(&element);
    QCOMPARE(element->SetAttribute(HstringWrapper(QStringLiteral("src"), false).get(), HstringWrapper(QStringLiteral("x"), false).get()),
             S_OK);
    QCOMPARE(xmlOf(image), QStringLiteral("<image id=\"1\" src=\"x\"/>"));
}

void TestXmlDom::itemsPastTheEndAreNull()
{
    ComPtr<IXmlDocument> doc = templateDocument(5);
    ComPtr<IXmlNodeList> texts;
    QCOMPARE(doc->GetElementsByTagName(HstringWrapper(QStringLiteral("text"), false).get(), &texts), S_OK);
    UINT32 length = 0;
    QCOMPARE(texts->get_Length(&length), S_OK);
    QCOMPARE(length, 2u);
    for (UINT32 index : {2u, 3u, 0xFFFFFFFFu}) {
        ComPtr<IXmlNode> node = newElement(doc, QStringLiteral("placeholder"));
        QCOMPARE(texts->Item(index, &node), S_OK);
        QVERIFY(!node);
    }
    ComPtr<IXmlNodeList> none;
    QCOMPARE(doc->GetElementsByTagName(HstringWrapper(QStringLiteral("actions"), false).get(), &none), S_OK);
    QCOMPARE(none->get_Length(&length), S_OK);
    QCOMPARE(length, 0u);
    ComPtr<IXmlNamedNodeMap> attributes;
    QCOMPARE(item(doc, QStringLiteral("text"), 0)->get_Attributes(&attributes), S_OK);
    ComPtr<IXmlNode> missing;
    QCOMPARE(attributes->Item(1, &missing), S_OK);
    QVERIFY(!missing);
    QCOMPARE(attributes->GetNamedItem(HstringWrapper(QStringLiteral("placement"), false).get(), &missing), S_OK);
    QVERIFY(!missing);
    // Text nodes have no attribute map at all.
    ComPtr<IXmlNode> text;
    QCOMPARE(appendText(doc, item(doc, QStringLiteral("text"), 0), QStringLiteral("t")), S_OK);
    item(doc, QStringLiteral("text"), 0)->get_FirstChild(&text);
    ComPtr<IXmlNamedNodeMap> noMap;
    QCOMPARE(text->get_Attributes(&noMap), S_OK);
    QVERIFY(!noMap);
}

void TestXmlDom::setNamedItemAddsOrReplacesByName()
{
    ComPtr<IXmlDocument> doc = templateDocument(4);
    ComPtr<IXmlNode> text = item(doc, QStringLiteral("text"), 0);
    ComPtr<IXmlNamedNodeMap> attributes;
    text->get_Attributes(&attributes);
    ComPtr<IXmlNode> first = newAttribute(doc, QStringLiteral("placement"));
    ComPtr<IXmlNode> added;
    QCOMPARE(attributes->SetNamedItem(first.Get(), &added), S_OK);
    QCOMPARE(added.Get(), first.Get());
    ComPtr<IXmlNode> second = newAttribute(doc, QStringLiteral("placement"));
    QCOMPARE(appendText(doc, second, QStringLiteral("attribution")), S_OK);
    QCOMPARE(attributes->SetNamedItem(second.Get(), &added), S_OK);
    QCOMPARE(added.Get(), second.Get());
    UINT32 length = 0;
    attributes->get_Length(&length);
    QCOMPARE(length, 2u); // id and one placement
    QCOMPARE(xmlOf(text), QStringLiteral("<text id=\"1\" placement=\"attribution\"></text>"));
    // An attribute in use by another element cannot be added again elsewhere.
    ComPtr<IXmlNamedNodeMap> otherAttributes;
    item(doc, QStringLiteral("binding"), 0)->get_Attributes(&otherAttributes);
    QCOMPARE(otherAttributes->SetNamedItem(second.Get(), &added), E_INVALIDARG);
    QVERIFY(!added);
    QCOMPARE(otherAttributes->SetNamedItem(newElement(doc, QStringLiteral("e")).Get(), &added), E_INVALIDARG);
}

void TestXmlDom::treeViolationsAreRefused_data()
{
    QTest::addColumn<QString>("violation");
    for (auto it = treeViolations().cbegin(); it != treeViolations().cend(); ++it)
        QTest::newRow(qPrintable(it.key())) << it.key();
}

void TestXmlDom::treeViolationsAreRefused()
{
    QFETCH(QString, violation);
    ComPtr<IXmlDocument> doc = document(QStringLiteral("<a><b/><c>text</c></a>"));
    QVERIFY(doc);
    const QString before = xmlOf(doc);
    QCOMPARE(treeViolations().value(violation)(doc), E_INVALIDARG);
    QCOMPARE(xmlOf(doc), before);
}

void TestXmlDom::appendingMovesANode()
{
    ComPtr<IXmlDocument> doc = document(QStringLiteral("<a><b><x/></b><c/></a>"));
    ComPtr<IXmlNode> x = item(doc, QStringLiteral("x"), 0);
    ComPtr<IXmlNode> appended;
    QCOMPARE(item(doc, QStringLiteral("c"), 0)->AppendChild(x.Get(), &appended), S_OK);
    QCOMPARE(appended.Get(), x.Get());
    QCOMPARE(xmlOf(doc), QStringLiteral("<a><b/><c><x/></c></a>"));
    ComPtr<IXmlNode> parent;
    QCOMPARE(x->get_ParentNode(&parent), S_OK);
    QCOMPARE(parent.Get(), item(doc, QStringLiteral("c"), 0).Get());
    ComPtr<IXmlNode> removed;
    QCOMPARE(parent->RemoveChild(x.Get(), &removed), S_OK);
    QCOMPARE(x->get_ParentNode(&parent), S_OK);
    QVERIFY(!parent);
    QCOMPARE(xmlOf(doc), QStringLiteral("<a><b/><c/></a>"));
}

void TestXmlDom::childEditsKeepOrder_data()
{
    // On <a><b/><c/><d/></a>: "+x" is a new element, other names are nodes of the document.
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<HRESULT>("result");
    QTest::addColumn<QString>("xml");
    QTest::newRow("insert new") << "insert" << "+x" << "c" << S_OK << "<a><b/><x/><c/><d/></a>";
    QTest::newRow("insert before nothing appends") << "insert" << "+x" << "" << S_OK << "<a><b/><c/><d/><x/></a>";
    QTest::newRow("insert moves a later sibling") << "insert" << "d" << "b" << S_OK << "<a><d/><b/><c/></a>";
    QTest::newRow("insert before itself") << "insert" << "c" << "c" << E_INVALIDARG << "<a><b/><c/><d/></a>";
    QTest::newRow("replace with new") << "replace" << "+x" << "c" << S_OK << "<a><b/><x/><d/></a>";
    QTest::newRow("replace with earlier sibling") << "replace" << "b" << "d" << S_OK << "<a><c/><b/></a>";
    QTest::newRow("replace with later sibling") << "replace" << "d" << "b" << S_OK << "<a><d/><c/></a>";
    QTest::newRow("replace a node of elsewhere") << "replace" << "+x" << "a" << E_INVALIDARG << "<a><b/><c/><d/></a>";
    QTest::newRow("replace the document element") << "replace-root" << "+x" << "a" << S_OK << "<x/>";
    QTest::newRow("remove a stranger") << "remove" << "+x" << "" << E_INVALIDARG << "<a><b/><c/><d/></a>";
}

void TestXmlDom::childEditsKeepOrder()
{
    QFETCH(QString, operation);
    QFETCH(QString, child);
    QFETCH(QString, reference);
    QFETCH(HRESULT, result);
    QFETCH(QString, xml);
    ComPtr<IXmlDocument> doc = document(QStringLiteral("<a><b/><c/><d/></a>"));
    auto nodeNamed = [&](const QString& name) {
        if (name.startsWith(QLatin1Char('+')))
            return newElement(doc, name.mid(1));
        return name.isEmpty() ? ComPtr<IXmlNode>() : item(doc, name, 0);
    };
    ComPtr<IXmlNode> parent = operation == QLatin1String("replace-root") ? asNode(doc.Get()) : item(doc, QStringLiteral("a"), 0);
    ComPtr<IXmlNode> out;
    HRESULT hr = E_UNEXPECTED;
    if (operation == QLatin1String("insert"))
        hr = parent->InsertBefore(nodeNamed(child).Get(), nodeNamed(reference).Get(), &out);
    else if (operation == QLatin1String("remove"))
        hr = parent->RemoveChild(nodeNamed(child).Get(), &out);
    else
        hr = parent->ReplaceChild(nodeNamed(child).Get(), nodeNamed(reference).Get(), &out);
    QCOMPARE(hr, result);
    QCOMPARE(bool(out), result == S_OK);
    QCOMPARE(xmlOf(doc), xml);
}

void TestXmlDom::characterDataEdits_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<HRESULT>("result");
    QTest::addColumn<QString>("xml");
    QTest::newRow("insert inside") << "insert" << 2 << 0 << S_OK << "<t>ab--cdef</t>";
    QTest::newRow("insert at end") << "insert" << 6 << 0 << S_OK << "<t>abcdef--</t>";
    QTest::newRow("insert past end") << "insert" << 7 << 0 << E_INVALIDARG << "<t>abcdef</t>";
    QTest::newRow("delete inside") << "delete" << 1 << 2 << S_OK << "<t>adef</t>";
    QTest::newRow("delete beyond the end") << "delete" << 4 << 100 << S_OK << "<t>abcd</t>";
    QTest::newRow("replace") << "replace" << 0 << 3 << S_OK << "<t>--def</t>";
    QTest::newRow("split") << "split" << 2 << 0 << S_OK << "<t>abcdef</t>";
    QTest::newRow("split past end") << "split" << 9 << 0 << E_INVALIDARG << "<t>abcdef</t>";
}

void TestXmlDom::characterDataEdits()
{
    QFETCH(QString, operation);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(HRESULT, result);
    QFETCH(QString, xml);
    ComPtr<IXmlDocument> doc = document(QStringLiteral("<t>abcdef</t>"));
    ComPtr<IXmlNode> t = item(doc, QStringLiteral("t"), 0);
    ComPtr<IXmlNode> textNode;
    t->get_FirstChild(&textNode);
    ComPtr<IXmlCharacterData> data;
    QCOMPARE(textNode.As(&data), S_OK);
    const HstringWrapper dashes(QStringLiteral("--"), false);
    const auto at = static_cast<UINT32>(offset);
    const auto n = static_cast<UINT32>(count);
    HRESULT hr = E_UNEXPECTED;
    if (operation == QLatin1String("insert")) {
        hr = data->InsertData(at, dashes.get());
    } else if (operation == QLatin1String("delete")) {
        hr = data->DeleteData(at, n);
    } else if (operation == QLatin1String("replace")) {
        hr = data->ReplaceData(at, n, dashes.get());
    } else {
        ComPtr<IXmlText> text;
        textNode.As(&text);
        ComPtr<IXmlText> second;
        hr = text->SplitText(at, &second);
        if (SUCCEEDED(hr)) {
            // Two text nodes now, written as one text.
            ComPtr<IXmlNodeList> children;
            t->get_ChildNodes(&children);
            UINT32 length = 0;
            children->get_Length(&length);
            QCOMPARE(length, 2u);
            ComPtr<IXmlNode> secondNode;
            second.As(&secondNode);
            ComPtr<IXmlNode> next;
            textNode->get_NextSibling(&next);
            QCOMPARE(next.Get(), secondNode.Get());
        }
    }
    QCOMPARE(hr, result);
    QCOMPARE(xmlOf(doc), xml);
}

void TestXmlDom::emptyElementsKeepTheirForm()
{
    const QString xml = QStringLiteral("<a><b/><c></c><d>x</d><e k=\"\"/></a>");
    ComPtr<IXmlDocument> doc = document(xml);
    QVERIFY(doc);
    QCOMPARE(xmlOf(doc), xml);
    ComPtr<IXmlNode> made = newElement(doc, QStringLiteral("f"));
    ComPtr<IXmlNode> appended;
    item(doc, QStringLiteral("a"), 0)->AppendChild(made.Get(), &appended);
    QCOMPARE(xmlOf(made), QStringLiteral("<f/>"));
    QCOMPARE(appendText(doc, made, QString()), S_OK);
    QCOMPARE(xmlOf(made), QStringLiteral("<f></f>"));
}

void TestXmlDom::malformedTextLeavesDocumentAsItWas_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("unclosed") << QStringLiteral("<toast>");
    QTest::newRow("mismatched") << QStringLiteral("<a></b>");
    QTest::newRow("plain text") << QStringLiteral("hello");
    QTest::newRow("two roots") << QStringLiteral("<a/><b/>");
    QTest::newRow("bad entity") << QStringLiteral("<a>&nope;</a>");
    QTest::newRow("whitespace only") << QStringLiteral("   ");
}

void TestXmlDom::malformedTextLeavesDocumentAsItWas()
{
    QFETCH(QString, text);
    ComPtr<IXmlDocument> doc = templateDocument(4);
    ComPtr<IXmlDocumentIO> io;
    QCOMPARE(doc.As(&io), S_OK);
    const QString before = xmlOf(doc);
    QVERIFY(FAILED(io->LoadXml(HstringWrapper(text, false).get())));
    QCOMPARE(xmlOf(doc), before);
}

void TestXmlDom::injectedFaults()
{
    ComPtr<IXmlDocument> doc = templateDocument(4);
    const HstringWrapper word(QStringLiteral("w"), false);

    winsim::control::failCall(QStringLiteral("IXmlDocument::CreateTextNode"), E_OUTOFMEMORY);
    ComPtr<IXmlText> text;
    QCOMPARE(doc->CreateTextNode(str(word), &text), E_OUTOFMEMORY);
    QVERIFY(!text);
    QCOMPARE(doc->CreateTextNode(str(word), &text), S_OK); // once only
    QVERIFY(text);

    winsim::control::failCall(QStringLiteral("IXmlDocument::CreateTextNode"), E_FAIL, winsim::control::Repeat::Always);
    QCOMPARE(doc->CreateTextNode(str(word), &text), E_FAIL);
    QCOMPARE(doc->CreateTextNode(str(word), &text), E_FAIL);
    winsim::control::clearFaults();
    QCOMPARE(doc->CreateTextNode(str(word), &text), S_OK);

    // Success without a result, on the second call only.
    winsim::control::nullResultOnCall(QStringLiteral("IXmlNodeList::Item"), winsim::control::Repeat::Once, 1);
    ComPtr<IXmlNodeList> list;
    doc->GetElementsByTagName(HstringWrapper(QStringLiteral("text"), false).get(), &list);
    ComPtr<IXmlNode> node;
    QCOMPARE(list->Item(0, &node), S_OK);
    QVERIFY(node);
    QCOMPARE(list->Item(0, &node), S_OK);
    QVERIFY(!node);
    QCOMPARE(winsim::control::pendingFaults(), 0);

    // Queries are faults of their own.
    node = item(doc, QStringLiteral("text"), 0);
    winsim::control::failCall(QStringLiteral("QueryInterface(IXmlElement)"), E_NOINTERFACE);
    ComPtr<IXmlElement> element;
    QCOMPARE(node.As(&element), E_NOINTERFACE);
    QVERIFY(!element);
    QCOMPARE(node.As(&element), S_OK);
}

namespace {

// Finds the first text element and sets an attribute on it; tells how far it got.
QString findAndSetAttribute(const ComPtr<IXmlDocument>& doc)
{
    ComPtr<IXmlNodeList> list;
    HRESULT hr = doc->GetElementsByTagName(HstringWrapper(QStringLiteral("text"), false).get(), &list);
    if (FAILED(hr) || !list)
        return QStringLiteral("list %1").arg(hr);
    ComPtr<IXmlNode> node;
    hr = list->Item(0, &node);
    if (FAILED(hr) || !node)
        return QStringLiteral("item %1").arg(hr);
    ComPtr<IXmlElement> element;
    hr = node.As(&element);
    if (FAILED(hr))
        return QStringLiteral("query %1").arg(hr);
    const HstringWrapper key(QStringLiteral("k"), false);
    const HstringWrapper value(QStringLiteral("v"), false);
    hr = element->SetAttribute(key.get(), value.get());
    return QStringLiteral("set %1").arg(hr);
}

} // namespace

void TestXmlDom::callTraceNamesEveryCall()
{
    ComPtr<IXmlDocument> doc = templateDocument(4);
    winsim::control::setCallTraceEnabled(true);
    QCOMPARE(findAndSetAttribute(doc), QStringLiteral("set 0"));
    winsim::control::setCallTraceEnabled(false);
    const QStringList expected = {QStringLiteral("WindowsCreateStringReference"),
                                  QStringLiteral("IXmlDocument::GetElementsByTagName"),
                                  QStringLiteral("IXmlNodeList::Item"),
                                  QStringLiteral("QueryInterface(IXmlElement)"),
                                  QStringLiteral("WindowsCreateStringReference"),
                                  QStringLiteral("WindowsCreateStringReference"),
                                  QStringLiteral("IXmlElement::SetAttribute")};
    QCOMPARE(winsim::control::callTrace(), expected);

    // Failing each traced call in turn stops the sequence where that call is.
    const QString denied = QString::number(E_ACCESSDENIED);
    const QStringList outcomes = {QStringLiteral("item 0"), // a null tag name finds nothing
                                  QStringLiteral("list ") + denied,
                                  QStringLiteral("item ") + denied,
                                  QStringLiteral("query ") + denied,
                                  QStringLiteral("set ") + QString::number(E_INVALIDARG), // attribute without a name
                                  QStringLiteral("set 0"),                                // an empty value is a value
                                  QStringLiteral("set ") + denied};
    for (int i = 0; i < expected.size(); ++i) {
        const int earlier = static_cast<int>(std::count(expected.begin(), expected.begin() + i, expected.at(i)));
        winsim::control::failCall(expected.at(i), E_ACCESSDENIED, winsim::control::Repeat::Once, earlier);
        QCOMPARE(findAndSetAttribute(doc), outcomes.at(i));
        winsim::control::clearFaults();
    }
}

void TestXmlDom::objectsAreReleased()
{
    const int before = winsim::control::liveObjects();
    ComPtr<IXmlNode> survivor;
    {
        ComPtr<IXmlDocument> doc = templateDocument(3);
        QVERIFY(winsim::control::liveObjects() > before);
        for (int i = 0; i < 3; ++i)
            appendText(doc, item(doc, QStringLiteral("text"), static_cast<UINT32>(i)), QStringLiteral("line %1").arg(i));
        survivor = item(doc, QStringLiteral("binding"), 0);
    }
    // A node outlives its document and stays usable; its document is gone.
    QVERIFY(xmlOf(survivor).startsWith(QStringLiteral("<binding template=\"ToastImageAndText04\"><image")));
    ComPtr<IXmlDocument> owner;
    QCOMPARE(survivor->get_OwnerDocument(&owner), S_OK);
    QVERIFY(!owner);
    ComPtr<IXmlNode> parent;
    QCOMPARE(survivor->get_ParentNode(&parent), S_OK);
    QVERIFY(!parent); // the rest of the tree went with the document
    survivor.Reset();
    QCOMPARE(winsim::control::liveObjects(), before);
}

QTEST_GUILESS_MAIN(TestXmlDom)
#include "tst_xmldom.moc"
