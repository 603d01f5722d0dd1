// Guards request parsing (refused types, values hosts send as text, bad JSON lines and actions left out, not shown
// raw) and toast ids: seeded from the 2017 reference in local time, masked, counted up, never 0, the process's
// counter seeded from the clock at its creation so that ids do not repeat across runs of the host.
#include "toastdata.h"
#include "toastmodulecontext.h"
#include "toastrequestkey.h"
#include "umskin.h"

#include <QtTest>

using Request = QMap<int, QVariant>;
Q_DECLARE_METATYPE(Request)

namespace {

qint64 localSecs(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::LocalTime).toSecsSinceEpoch();
}

const QDate k_reference(2017, 11, 5);

// The process-wide context never frees its skin; one made by a test must.
struct LocalContext : ToastModuleContext
{
    using ToastModuleContext::ToastModuleContext;
    ~LocalContext() { delete skin(); }
};

} // namespace

class TestCommon : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void typeKey_data();
    void typeKey();
    void lists_data();
    void lists();
    void seed_data();
    void seed();
    void processCounterStartsFromTheClock();
};

void TestCommon::initTestCase()
{
    // A zone with daylight saving: the reference date is read in local time.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void TestCommon::typeKey_data()
{
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<int>("expected");

    QTest::newRow("missing") << QVariant() << false << 0;
    QTest::newRow("null string") << QVariant(QString()) << false << 0;
    QTest::newRow("null byte array") << QVariant(QByteArray()) << false << 0;
    QTest::newRow("not convertible") << QVariant::fromValue(QSize(1, 2)) << false << 0;
    QTest::newRow("int") << QVariant(2) << true << 2;
    QTest::newRow("digit string") << QVariant(QStringLiteral("7")) << true << 7;
    QTest::newRow("letters") << QVariant(QStringLiteral("abc")) << true << 0;
}

void TestCommon::typeKey()
{
    QFETCH(QVariant, type);
    QFETCH(bool, parses);
    QFETCH(int, expected);
    Request request{{ToastKeyTextFields, QStringList{"line"}}};
    if (type.isValid())
        request.insert(ToastKeyType, type);
    ToastData data;
    QCOMPARE(data.parse(request), parses);
    QCOMPARE(data.tostType(), expected);
    // A refused request reads nothing else.
    QCOMPARE(data.textFieldCount(), parses ? 1 : 0);
}

void TestCommon::lists_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("format");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QStringList>("expected"); // text lines, or actions as "text|action"

    const int lines = ToastKeyTextFields;
    QTest::newRow("plain") << lines << 0 << QVariant(QStringList{"one", "{\"fields\":[]}"})
                           << QStringList{"one", "{\"fields\":[]}"};
    QTest::newRow("plain single string") << lines << 0 << QVariant(QStringLiteral("only")) << QStringList{"only"};
    QTest::newRow("plain not a list") << lines << 0 << QVariant(QSize(1, 1)) << QStringList{};
    QTest::newRow("plain null string") << lines << 0 << QVariant(QString()) << QStringList{};
    QTest::newRow("rich segments joined")
        << lines << 1
        << QVariant(QStringList{R"({"fields":[{"text":"Open "},{"text":"the file","action":"o","click":true},null]})",
                                R"({"fields":[{"text":12,"action":true},{"text":""}]})"})
        << QStringList{"Open the file", "12"};
    // Each bad line is left out; the good ones keep their order.
    QTest::newRow("rich bad lines dropped")
        << lines << 1
        << QVariant(QStringList{R"({"fields":{"text":"object"}})", R"({"other":[]})", "plain words",
                                R"({"fields":[{"text":[1]}]})", R"({"fields":[{"text":"a"},{"text":"b","click":"yes"}]})",
                                R"({"fields":[{"text":"a"},7]})", "[1,2]", R"({"fields":[{"text":"good"}]})",
                                R"({"fields":[]} x)"})
        << QStringList{"good"};
    const int actions = ToastKeyActions;
    QTest::newRow("actions") << actions << 0
                             << QVariant(QStringList{QStringLiteral("{\"text\":\"\u00d6ffnen\",\"action\":\"\u00fc\"}"),
                                                     "{\"text\":\"Later\",\"action\":\"later\"}"})
                             << QStringList{QStringLiteral("\u00d6ffnen|\u00fc"), "Later|later"};
    QTest::newRow("unreadable actions skipped")
        << actions << 0 << QVariant(QStringList{"Open", "12", "{\"text\":[1],\"action\":\"x\"}", "{\"text\":\"B\"}"})
        << QStringList{"B|"};
    QTest::newRow("empty and null actions kept") << actions << 0 << QVariant(QStringList{"{}", "null"})
                                                 << QStringList{"|", "|"};
}

void TestCommon::lists()
{
    QFETCH(int, key);
    QFETCH(int, format);
    QFETCH(QVariant, value);
    QFETCH(QStringList, expected);
    ToastData data;
    QVERIFY(data.parse({{ToastKeyType, 1}, {ToastKeyTextFormat, format}, {key, value}}));
    QStringList got;
    for (const ToastAction& action : data.actions())
        got << action.text + QLatin1Char('|') + action.action;
    for (int i = 0; i < data.textFieldCount(); ++i)
        got << data.textField(i);
    QCOMPARE(got, expected);
    QCOMPARE(data.isRichText(), format == 1);
    QCOMPARE(data.textField(-1), QString());
    QCOMPARE(data.textField(data.textFieldCount()), QString());
    // A rich line is there for every field and for nothing else; out is left alone otherwise.
    QList<ToastTextSegment> out{ToastTextSegment{"kept", "", false}};
    QVERIFY(!data.richLine(data.textFieldCount(), out));
    QCOMPARE(out.size(), 1);
    QCOMPARE(data.richLine(0, out), format == 1 && data.textFieldCount() > 0);
}

void TestCommon::seed_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<quint64>("seed");

    QTest::newRow("at the reference") << localSecs(k_reference, QTime(0, 0)) << quint64(0);
    QTest::newRow("100 s before wraps") << localSecs(k_reference, QTime(0, 0)) - 100 << quint64(0x3FFFFF9C);
    // 2^30 seconds later the mask brings the starting value back to 0.
    QTest::newRow("mask bites") << localSecs(k_reference, QTime(0, 0)) + (qint64(1) << 30) + 5 << quint64(5);
}

void TestCommon::seed()
{
    QFETCH(qint64, now);
    QFETCH(quint64, seed);
    QCOMPARE(ToastModuleContext::seedAt(now), seed);
    LocalContext context(now);
    QCOMPARE(context.nextToastId(), seed + 1);
    QCOMPARE(context.nextToastId(), seed + 2);
}

void TestCommon::processCounterStartsFromTheClock()
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const quint64 first = ToastModuleContext::instance()->nextToastId();
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    // Now is far from a wrap of the 30-bit seed, so the bounds keep their order.
    QVERIFY2(first >= ToastModuleContext::seedAt(before) + 1 && first <= ToastModuleContext::seedAt(after) + 1,
             qPrintable(QString::number(first)));
    QCOMPARE(ToastModuleContext::instance()->nextToastId(), first + 1);
}

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
