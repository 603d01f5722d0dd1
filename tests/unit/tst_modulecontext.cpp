// Guards toast ids: seeded from the 2017 reference in local time, masked, counted up, never 0; the process's
// counter seeded from the clock at its creation, so that ids do not repeat across runs of the host.
#include "toastmodulecontext.h"
#include "umskin.h"

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
    void processCounterStartsFromTheClock();
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
    QTest::newRow("100 s before wraps") << localSecs(k_reference, QTime(0, 0)) - 100 << quint64(0x3FFFFF9C);
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

void TestModuleContext::processCounterStartsFromTheClock()
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const quint64 first = ToastModuleContext::instance()->nextToastId();
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    // Now is far from a wrap of the 30-bit seed, so the bounds keep their order.
    QVERIFY2(first >= ToastModuleContext::seedAt(before) + 1 && first <= ToastModuleContext::seedAt(after) + 1,
             qPrintable(QString::number(first)));
    QCOMPARE(ToastModuleContext::instance()->nextToastId(), first + 1);
}

QTEST_GUILESS_MAIN(TestModuleContext)
#include "tst_modulecontext.moc"
