// Guards ids a host can rely on (seeded from the 2017 reference in local time, counted up, shared by
// every service), the log line and tag hosts filter on, and which results count as failures.
#include "toastlog.h"
#include "toastmodulecontext.h"
#include "umskin.h"

#include "logcapture.h"

#include <QtTest>

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

class TestModuleContext : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void seed_data();
    void seed();
    void instanceIsShared();
    void resultChecks_data();
    void resultChecks();
};

void TestModuleContext::initTestCase()
{
    // A zone with daylight saving: the reference date is read in local time.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void TestModuleContext::seed_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<quint64>("seed");

    QTest::newRow("at the reference") << localSecs(k_reference, QTime(0, 0)) << quint64(0);
    QTest::newRow("100 s after") << localSecs(k_reference, QTime(0, 1, 40)) << quint64(100);
    QTest::newRow("100 s before wraps") << localSecs(k_reference, QTime(0, 0)) - 100 << quint64(0x3FFFFF9C);
    QTest::newRow("one day after") << localSecs(k_reference.addDays(1), QTime(0, 0)) << quint64(86400);
    const qint64 late2026 = localSecs(QDate(2026, 12, 5), QTime(12, 0));
    QTest::newRow("end of 2026") << late2026 << quint64(late2026 - localSecs(k_reference, QTime(0, 0)));
    // 2^30 seconds later the mask brings the starting value back to 0.
    QTest::newRow("mask bites") << localSecs(k_reference, QTime(0, 0)) + (qint64(1) << 30) + 5 << quint64(5);
}

void TestModuleContext::seed()
{
    QFETCH(qint64, now);
    QFETCH(quint64, seed);
    QCOMPARE(ToastModuleContext::seedAt(now), seed);
    LocalContext context(now);
    QCOMPARE(context.nextToastId(), seed + 1);
    QCOMPARE(context.nextToastId(), seed + 2);
}

void TestModuleContext::instanceIsShared()
{
    ToastModuleContext* first = ToastModuleContext::instance();
    QCOMPARE(ToastModuleContext::instance(), first);
    const quint64 a = first->nextToastId();
    const quint64 b = ToastModuleContext::instance()->nextToastId();
    QCOMPARE(b, a + 1);
    // Seeded from now: about 2.9e8 at the end of 2026, and never 0.
    QVERIFY(a > 0);
    QVERIFY(a <= 0x40000000u);
}

void TestModuleContext::resultChecks_data()
{
    QTest::addColumn<int>("convention");  // 0 with out-pointer, 1 without, 2 short
    QTest::addColumn<qint32>("hr");
    QTest::addColumn<bool>("outSet");
    QTest::addColumn<bool>("stops");
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint32>("stopResult");

    const qint32 invalidArg = qint32(0x80070057u);
    const qint32 fail = qint32(0x80004005u);
    QTest::newRow("ok") << 0 << 0 << true << false << "" << fail;
    QTest::newRow("S_FALSE is success") << 0 << 1 << true << false << "" << fail;
    QTest::newRow("failure") << 0 << invalidArg << true << true << "error result = -2147024809" << invalidArg;
    QTest::newRow("null out") << 0 << 0 << false << true << "error param" << fail;
    QTest::newRow("failure beats null") << 0 << fail << false << true << "error result = -2147467259" << fail;
    QTest::newRow("no out: ok") << 1 << 0 << false << false << "" << fail;
    QTest::newRow("no out: failure") << 1 << invalidArg << false << true << "error result = -2147024809" << invalidArg;
    QTest::newRow("short: failure") << 2 << fail << false << true << "result = -2147467259" << fail;
    QTest::newRow("short: ok without out") << 2 << 0 << false << false << "" << fail;
}

void TestModuleContext::resultChecks()
{
    QFETCH(int, convention);
    QFETCH(qint32, hr);
    QFETCH(bool, outSet);
    QFETCH(bool, stops);
    QFETCH(QString, line);
    QFETCH(qint32, stopResult);

    LogCapture log;
    int object = 0;
    const void* out = outSet ? &object : nullptr;
    const QString where = QStringLiteral("xml->CreateTextNode(HstringWrapper(str, false).get(), &textNode)");
    bool stopped = false;
    switch (convention) {
    case 0: stopped = checkFailed(where, hr, out); break;
    case 1: stopped = checkFailed(where, hr); break;
    default: stopped = checkFailedShort(where, hr); break;
    }
    QCOMPARE(stopped, stops);
    QCOMPARE(log.lines(), line.isEmpty() ? QStringList() : QStringList{QStringLiteral("call %1 : %2").arg(where, line)});
    if (stops)
        QCOMPARE(::stopResult(hr), stopResult);
}

QTEST_GUILESS_MAIN(TestModuleContext)
#include "tst_modulecontext.moc"
