#include "toastdata.h"
#include "toastrequestkey.h"

#include <QtTest>

using Request = QMap<int, QVariant>;

namespace {

QString segment(const QString& text, const QString& action = QString(), bool click = false)
{
    return QStringLiteral("{\"text\":\"%1\",\"action\":\"%2\",\"click\":%3}")
        .arg(text, action, click ? QStringLiteral("true") : QStringLiteral("false"));
}

QString richLine(const QStringList& segments)
{
    return QStringLiteral("{\"fields\":[%1]}").arg(segments.join(QLatin1Char(',')));
}

} // namespace

Q_DECLARE_METATYPE(Request)

class TestToastData : public QObject
{
    Q_OBJECT
private slots:
    void typeKey_data();
    void typeKey();
    void defaultsWithOnlyType();
    void scalarConversions_data();
    void scalarConversions();
    void plainLines_data();
    void plainLines();
    void richLines_data();
    void richLines();
    void richLineMixedWithBadLine();
    void actions_data();
    void actions();
    void accessorsOutOfRange();
};

void TestToastData::typeKey_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<int>("type");

    QTest::newRow("missing") << Request{{ToastKeyTitleText, "t"}} << false << 0;
    QTest::newRow("invalid variant") << Request{{ToastKeyType, QVariant()}} << false << 0;
    QTest::newRow("null string") << Request{{ToastKeyType, QVariant(QString())}} << false << 0;
    QTest::newRow("int") << Request{{ToastKeyType, 2}} << true << 2;
    QTest::newRow("digit string") << Request{{ToastKeyType, QStringLiteral("7")}} << true << 7;
    QTest::newRow("letters") << Request{{ToastKeyType, QStringLiteral("abc")}} << true << 0;
    QTest::newRow("negative") << Request{{ToastKeyType, -1}} << true << -1;
    QTest::newRow("not convertible") << Request{{ToastKeyType, QVariant::fromValue(QSize(1, 2))}} << false << 0;
}

void TestToastData::typeKey()
{
    QFETCH(Request, request);
    QFETCH(bool, parses);
    QFETCH(int, type);
    request.insert(ToastKeyTextFields, QStringList{"line"});
    ToastData data;
    QCOMPARE(data.parse(request), parses);
    QCOMPARE(data.tostType(), type);
    // A refused request keeps every default.
    QCOMPARE(data.textFieldCount(), parses ? 1 : 0);
}

void TestToastData::defaultsWithOnlyType()
{
    ToastData data;
    QVERIFY(data.parse({{ToastKeyType, 2}}));
    QCOMPARE(data.textFieldCount(), 0);
    QVERIFY(data.actions().isEmpty());
    QCOMPARE(data.expiration(), 0u);
    QVERIFY(!data.imageSize().isValid());
    QVERIFY(!data.isRichText());
    QVERIFY(!data.isInlineImage());
    QVERIFY(data.rccSources().isEmpty());
}

void TestToastData::scalarConversions_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("expiration as digits") << int(ToastKeyExpiration) << QVariant("3000") << QVariant(3000u);
    QTest::newRow("expiration as letters") << int(ToastKeyExpiration) << QVariant("soon") << QVariant(0u);
    QTest::newRow("expiration as number") << int(ToastKeyExpiration) << QVariant(qlonglong(5000)) << QVariant(5000u);
    QTest::newRow("duration") << int(ToastKeyDurationType) << QVariant(1) << QVariant(1);
    QTest::newRow("duration from list") << int(ToastKeyDurationType) << QVariant(QStringList{"x"}) << QVariant(0);
    QTest::newRow("inline image") << int(ToastKeyIsInlineImage) << QVariant(true) << QVariant(true);
    QTest::newRow("inline image from text") << int(ToastKeyIsInlineImage) << QVariant("true") << QVariant(true);
    QTest::newRow("audio type") << int(ToastKeyAudioType) << QVariant("2") << QVariant(2);
    QTest::newRow("image size") << int(ToastKeyImageSize) << QVariant(QSize(32, 16)) << QVariant(QSize(32, 16));
    QTest::newRow("image size from text") << int(ToastKeyImageSize) << QVariant("32x16") << QVariant(QSize());
    QTest::newRow("title from number") << int(ToastKeyTitleText) << QVariant(12) << QVariant(QStringLiteral("12"));
    QTest::newRow("rcc sources") << int(ToastKeyRccSources) << QVariant(QStringList{"a.rcc", "b.rcc"})
                                 << QVariant(QStringList{"a.rcc", "b.rcc"});
}

void TestToastData::scalarConversions()
{
    QFETCH(int, key);
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    ToastData data;
    QVERIFY(data.parse({{ToastKeyType, 0}, {key, value}}));
    QVariant actual;
    switch (key) {
    case ToastKeyExpiration: actual = data.expiration(); break;
    case ToastKeyDurationType: actual = data.durationType(); break;
    case ToastKeyIsInlineImage: actual = data.isInlineImage(); break;
    case ToastKeyAudioType: actual = data.audioType(); break;
    case ToastKeyImageSize: actual = data.imageSize(); break;
    case ToastKeyTitleText: actual = data.titleText(); break;
    case ToastKeyRccSources: actual = data.rccSources(); break;
    default: QFAIL("key without accessor in this test");
    }
    QCOMPARE(actual, expected);
}

void TestToastData::plainLines_data()
{
    QTest::addColumn<QVariant>("lines");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("two lines") << QVariant(QStringList{"one", "two"}) << QStringList{"one", "two"};
    QTest::newRow("single string") << QVariant(QStringLiteral("only")) << QStringList{"only"};
    QTest::newRow("null") << QVariant(QString()) << QStringList{};
    QTest::newRow("not a list") << QVariant(QSize(1, 1)) << QStringList{};
}

void TestToastData::plainLines()
{
    QFETCH(QVariant, lines);
    QFETCH(QStringList, expected);
    ToastData data;
    QVERIFY(data.parse({{ToastKeyType, 1}, {ToastKeyTextFields, lines}}));
    QVERIFY(!data.isRichText());
    QCOMPARE(data.textFieldCount(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(data.textField(i), expected.at(i));
    QList<ToastTextSegment> out;
    QVERIFY(!data.richLine(0, out));
}

void TestToastData::richLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<int>("segments");

    QTest::newRow("link in the middle")
        << richLine({segment("Open "), segment("the file", "open-file", true), segment(" now")}) << true
        << "Open the file now" << 3;
    QTest::newRow("empty texts skipped") << richLine({segment("a"), segment(""), segment("b", "x", true)}) << true
                                         << "ab" << 2;
    QTest::newRow("no segments") << QStringLiteral("{\"fields\":[]}") << true << "" << 0;
    QTest::newRow("null element skipped") << QStringLiteral("{\"fields\":[null,{\"text\":\"z\"}]}") << true << "z"
                                          << 1;
    QTest::newRow("number and bool become text")
        << QStringLiteral("{\"fields\":[{\"text\":12,\"action\":true}]}") << true << "12" << 1;
    QTest::newRow("missing action and click") << QStringLiteral("{\"fields\":[{\"text\":\"q\"}]}") << true << "q" << 1;
    QTest::newRow("fields is an object") << QStringLiteral("{\"fields\":{\"text\":\"a\"}}") << false << "" << 0;
    QTest::newRow("fields missing") << QStringLiteral("{\"other\":[]}") << false << "" << 0;
    QTest::newRow("not json") << QStringLiteral("plain words") << false << "" << 0;
    QTest::newRow("text is an array") << QStringLiteral("{\"fields\":[{\"text\":[1]}]}") << false << "" << 0;
    QTest::newRow("click is a string")
        << QStringLiteral("{\"fields\":[{\"text\":\"a\"},{\"text\":\"b\",\"click\":\"yes\"}]}") << false << "" << 0;
    QTest::newRow("element is a number") << QStringLiteral("{\"fields\":[{\"text\":\"a\"},7]}") << false << "" << 0;
    QTest::newRow("root is an array") << QStringLiteral("[1,2]") << false << "" << 0;
    QTest::newRow("trailing garbage") << QStringLiteral("{\"fields\":[]} x") << false << "" << 0;
}

void TestToastData::richLines()
{
    QFETCH(QString, line);
    QFETCH(bool, kept);
    QFETCH(QString, plain);
    QFETCH(int, segments);

    ToastData data;
    QVERIFY(data.parse({{ToastKeyType, 1}, {ToastKeyTextFormat, 1}, {ToastKeyTextFields, QStringList{line}}}));
    QVERIFY(data.isRichText());
    QCOMPARE(data.textFieldCount(), kept ? 1 : 0);
    QList<ToastTextSegment> out;
    QCOMPARE(data.richLine(0, out), kept);
    if (!kept)
        return;
    QCOMPARE(data.textField(0), plain);
    QCOMPARE(out.size(), segments);
    QString joined;
    for (const ToastTextSegment& s : out)
        joined += s.text;
    QCOMPARE(joined, plain);
}

void TestToastData::richLineMixedWithBadLine()
{
    ToastData data;
    const QString good = richLine({segment("a"), segment("b", "act", true), segment("")});
    QVERIFY(data.parse({{ToastKeyType, 1}, {ToastKeyTextFormat, 1}, {ToastKeyTextFields, QStringList{good, "nope"}}}));
    QCOMPARE(data.textFieldCount(), 1);
    QCOMPARE(data.textField(0), QStringLiteral("ab"));
    QCOMPARE(data.textField(1), QString());
    QList<ToastTextSegment> out;
    QVERIFY(!data.richLine(1, out));
    QVERIFY(out.isEmpty());
    QVERIFY(data.richLine(0, out));
    QCOMPARE(out.size(), 2);
    QCOMPARE(out.at(1).action, QStringLiteral("act"));
    QVERIFY(out.at(1).click);
    QVERIFY(!out.at(0).click);
}

void TestToastData::actions_data()
{
    QTest::addColumn<QStringList>("strings");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("actionStrings");

    QTest::newRow("two actions") << QStringList{"{\"text\":\"Open\",\"action\":\"open-file\"}",
                                                "{\"text\":\"Later\",\"action\":\"later\"}"}
                                 << QStringList{"Open", "Later"} << QStringList{"open-file", "later"};
    QTest::newRow("only text") << QStringList{"{\"text\":\"Open\"}"} << QStringList{"Open"} << QStringList{""};
    QTest::newRow("empty object kept") << QStringList{"{}"} << QStringList{""} << QStringList{""};
    QTest::newRow("not json skipped") << QStringList{"Open", "{\"text\":\"B\",\"action\":\"b\"}"}
                                      << QStringList{"B"} << QStringList{"b"};
    QTest::newRow("number root skipped") << QStringList{"12", "{\"text\":\"C\"}"} << QStringList{"C"}
                                         << QStringList{""};
    QTest::newRow("array member skipped") << QStringList{"{\"text\":[1],\"action\":\"x\"}"} << QStringList{}
                                          << QStringList{};
    QTest::newRow("null root kept") << QStringList{"null"} << QStringList{""} << QStringList{""};
    QTest::newRow("unicode") << QStringList{QStringLiteral("{\"text\":\"\u00d6ffnen \u2713\",\"action\":\"\u00fc\"}")}
                             << QStringList{QStringLiteral("\u00d6ffnen \u2713")} << QStringList{QStringLiteral("\u00fc")};
}

void TestToastData::actions()
{
    QFETCH(QStringList, strings);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, actionStrings);
    ToastData data;
    QVERIFY(data.parse({{ToastKeyType, 0}, {ToastKeyActions, strings}}));
    const QList<ToastAction> actions = data.actions();
    QCOMPARE(actions.size(), texts.size());
    for (int i = 0; i < actions.size(); ++i) {
        QCOMPARE(actions.at(i).text, texts.at(i));
        QCOMPARE(actions.at(i).action, actionStrings.at(i));
    }
}

void TestToastData::accessorsOutOfRange()
{
    ToastData data;
    QVERIFY(data.parse({{ToastKeyType, 0}, {ToastKeyTextFields, QStringList{"x"}}}));
    QCOMPARE(data.textField(-1), QString());
    QCOMPARE(data.textField(1), QString());
    QList<ToastTextSegment> out{ToastTextSegment{"keep", "", false}};
    QVERIFY(!data.richLine(-1, out));
    QCOMPARE(out.size(), 1); // left alone
}

QTEST_GUILESS_MAIN(TestToastData)
#include "tst_toastdata.moc"
