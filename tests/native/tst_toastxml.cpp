// Guards the toast documents a user sees (lines, duration, sound, images, hero, markup) and the builders' log when a call fails.
#include "toastxmlbuilders_p.h"

#include "logcapture.h"
#include "testdata.h"
#include "winrttest.h"

#include <winsim/control.h>

#include <QtTest>

#include <functional>

using namespace winrttest;

using Build = std::function<HRESULT(IXmlDocument*)>;
Q_DECLARE_METATYPE(Build)

namespace {

// Platform template numbers.
constexpr int k_imageAndText01 = 0;
constexpr int k_imageAndText02 = 1;
constexpr int k_imageAndText04 = 3;
constexpr int k_text01 = 4;
constexpr int k_text02 = 5;

ToastData request(const QMap<int, QVariant>& map)
{
    ToastData data;
    data.parse(map);
    return data;
}

Build setImage(const QMap<int, QVariant>& map)
{
    return [map](IXmlDocument* x) { return setImageField(x, request(map)); };
}

Build setHero(const QMap<int, QVariant>& map)
{
    return [map](IXmlDocument* x) { return setHeroImage(x, request(map)); };
}

Build duration(int type)
{
    return [type](IXmlDocument* x) { return addDuration(x, type); };
}

Build audio(const QString& path, int type)
{
    return [path, type](IXmlDocument* x) { return setAudioField(x, path, type); };
}

Build action(const QString& caption, const QString& arguments)
{
    return [=](IXmlDocument* x) { return addAction(x, caption, arguments); };
}

Build both(const Build& first, const Build& second)
{
    return [=](IXmlDocument* x) {
        const HRESULT hr = first(x);
        return FAILED(hr) ? hr : second(x);
    };
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
    void builderLog_data();
    void builderLog();

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
    const int expected[][2] = {{4, 1}, {5, 2}, {6, 2}, {7, 3}, {0, 1}, {1, 2}, {2, 2}, {3, 3}};
    for (int type = 0; type < 8; ++type)
        QTest::addRow("request type %d", type) << type << expected[type][0] << expected[type][1];
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

// The expected document of each row is the entry of the row's name in toastxml.txt.
void TestToastXml::builderOutput_data()
{
    QTest::addColumn<int>("platformType");
    QTest::addColumn<QString>("version");
    QTest::addColumn<Build>("build");
    QTest::addColumn<qint32>("result");

    const QString longPath = QStringLiteral("C:/") + QString(257, QLatin1Char('p')); // 260 in all
    const QString markup = QStringLiteral("Tom & Jerry <b>\"bold\"</b> 'it's' > 1");
    QTest::newRow("duration 0 writes nothing") << k_text01 << "10.0.19045" << duration(0) << qint32(S_OK);
    QTest::newRow("duration 1 is short") << k_text01 << "10.0.19045" << duration(1) << qint32(S_OK);
    QTest::newRow("duration 2 is long") << k_text01 << "10.0.19045" << duration(2) << qint32(S_OK);
    QTest::newRow("duration 3 is short") << k_text01 << "10.0.19045" << duration(3) << qint32(S_OK);
    QTest::newRow("audio loop without path") << k_text01 << "10.0.19045" << audio(QString(), 2) << qint32(S_OK);
    QTest::newRow("audio silent with path") << k_text01 << "10.0.19045" << audio("C:/a.wav", 1) << qint32(S_OK);
    QTest::newRow("image of 260 characters") << k_imageAndText01 << "10.0.19045" << setImage({{0, 4}, {3, longPath}}) << qint32(S_OK);
    QTest::newRow("image of 261 characters refused")
        << k_imageAndText01 << "10.0.19045" << setImage({{0, 4}, {3, longPath + 'x'}}) << k_fail;
    QTest::newRow("no hero image before 14393") << k_imageAndText01 << "10.0.10586" << setHero({{0, 4}, {6, "C:/h.png"}}) << qint32(S_OK);
    QTest::newRow("hero image on 14393") << k_imageAndText01 << "10.0.14393" << setHero({{0, 4}, {6, "C:/h.png"}}) << qint32(S_OK);
    QTest::newRow("inline image on 14393")
        << k_imageAndText01 << "10.0.14393" << setHero({{0, 4}, {6, "C:/h.png"}, {11, true}}) << qint32(S_OK);
    QTest::newRow("text past the last element")
        << k_imageAndText04 << "10.0.19045" << Build([](IXmlDocument* x) { return setTextField(x, "four", 3); }) << k_fail;
    QTest::newRow("attribution marks its own line")
        << k_imageAndText02 << "10.0.19045" << Build([](IXmlDocument* x) { return setAttributionTextField(x, "via Cloud"); })
        << qint32(S_OK);
    QTest::newRow("two actions share one container") << k_text02 << "10.0.19045" << both(action("A", "a"), action("B", "b"))
                                                     << qint32(S_OK);
    QTest::newRow("duration after an action") << k_text01 << "10.0.19045" << both(action("A", "a"), duration(1)) << qint32(S_OK);
    QTest::newRow("generic binding") << k_imageAndText01 << "10.0.19045"
                                     << Build([](IXmlDocument* x) { return setBindToastGeneric(x); }) << qint32(S_OK);
    QTest::newRow("markup arrives as text")
        << k_text02 << "10.0.19045"
        << both([markup](IXmlDocument* x) { return setTextField(x, markup, 0); }, action(markup, "x&y")) << qint32(S_OK);
}

void TestToastXml::builderOutput()
{
    QFETCH(int, platformType);
    QFETCH(QString, version);
    QFETCH(Build, build);
    QFETCH(qint32, result);
    winsim::control::pinOsVersion(QVersionNumber::fromString(version));
    LogCapture log;
    ComPtr<IXmlDocument> document = templateDocument(platformType);
    QVERIFY(document);
    QCOMPARE(qint32(build(document.Get())), result);
    QCOMPARE(xmlOf(document), testdata::text("toastxml.txt", QTest::currentDataTag()));
}

// The expected lines of each row are the entry of the row's name in builderlog.txt.
void TestToastXml::builderLog_data()
{
    QTest::addColumn<int>("platformType");
    QTest::addColumn<Build>("build");
    QTest::addColumn<QString>("call"); // failed once (after skip earlier calls), or made to hand back null
    QTest::addColumn<int>("skip");
    QTest::addColumn<bool>("nullResult");
    QTest::addColumn<qint32>("result");

    const Build hello = [](IXmlDocument* x) { return setTextField(x, "Hello", 0); };
    const QMap<int, QVariant> withHero{{0, 4}, {3, "logo.png"}, {6, "hero.png"}};
    QTest::newRow("text node fails") << k_text01 << hello << "IXmlDocument::CreateTextNode" << 0 << false << k_invalidArg;
    QTest::newRow("text node null") << k_text01 << hello << "IXmlDocument::CreateTextNode" << 0 << true << k_fail;
    QTest::newRow("duration attribute fails") << k_text01 << duration(2) << "IXmlElement::SetAttribute" << 0 << false << k_invalidArg;
    QTest::newRow("duration left to the system") << k_text01 << duration(0) << "" << 0 << false << qint32(S_OK);
    QTest::newRow("toast template fails") << k_text01 << action("Open", "open") << "IXmlElement::SetAttribute" << 0 << false
                                          << k_invalidArg;
    QTest::newRow("attribution lookup fails")
        << k_text01 << Build([](IXmlDocument* x) { return setAttributionTextField(x, "via"); }) << "IXmlNamedNodeMap::GetNamedItem"
        << 0 << false << k_invalidArg;
    QTest::newRow("audio loop value fails") << k_text01 << audio(QString(), 2) << "IXmlDocument::CreateTextNode" << 0 << false
                                            << k_invalidArg;
    QTest::newRow("logo view fails silently") << k_imageAndText01 << setImage(withHero) << "QueryInterface(IXmlElement)" << 0
                                              << false << qint32(S_OK);
    QTest::newRow("logo source text fails, image still set")
        << k_imageAndText01 << setImage(withHero) << "IXmlDocument::CreateTextNode" << 0 << false << qint32(S_OK);
    QTest::newRow("image path too long") << k_imageAndText01 << setImage({{0, 4}, {3, QString(261, 'x')}}) << "" << 0 << false
                                         << k_fail;
    QTest::newRow("hero source fails") << k_imageAndText01 << setHero(withHero) << "IXmlElement::SetAttribute" << 1 << false
                                       << k_invalidArg;
    QTest::newRow("hero on a text template") << k_text01 << setHero({{0, 0}, {6, "h.png"}}) << "" << 0 << false << qint32(S_OK);
}

void TestToastXml::builderLog()
{
    QFETCH(int, platformType);
    QFETCH(Build, build);
    QFETCH(QString, call);
    QFETCH(int, skip);
    QFETCH(bool, nullResult);
    QFETCH(qint32, result);
    ComPtr<IXmlDocument> document = templateDocument(platformType);
    QVERIFY(document);
    if (!call.isEmpty() && nullResult)
        winsim::control::nullResultOnCall(call, winsim::control::Repeat::Once, skip);
    else if (!call.isEmpty())
        winsim::control::failCall(call, k_invalidArg, winsim::control::Repeat::Once, skip);
    LogCapture log;
    QCOMPARE(qint32(build(document.Get())), result);
    QCOMPARE(log.lines(), testdata::lines("builderlog.txt", QTest::currentDataTag()));
    QCOMPARE(winsim::control::pendingFaults(), 0);
}

QTEST_GUILESS_MAIN(TestToastXml)
#include "tst_toastxml.moc"
