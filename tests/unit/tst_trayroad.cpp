// The first road end to end: a host that knows only the published interface
// tables loads the module by file name, shows a balloon in a real tray and
// hears the click. Runs under Xvfb with a tray (scripts/with-tray.sh).
#include <winsim/control.h>

#include <QtTest>

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QLibrary>
#include <QSystemTrayIcon>

#include <limits>
#include <memory>

// Declared here from the interface tables alone, as a host would: virtual
// destructor first, then the operations in order. No module header is used.
class HostToastListener
{
public:
    virtual ~HostToastListener() {}
    virtual void activated(quint64 toastId, int source, qint64 index, const QString& action) = 0;
    virtual void dismissed(quint64 toastId, int reason) = 0;
    virtual void failed(quint64 toastId, int errorCode) = 0;
};

class HostToastService
{
public:
    virtual ~HostToastService() {}
    virtual bool init(const QVariantMap& config) = 0;
    virtual quint64 show(const QMap<int, QVariant>& request, const std::weak_ptr<HostToastListener>& listener) = 0;
    virtual bool update(quint64 id, const QMap<int, QVariant>& request) = 0;
    virtual bool hide(quint64 id) = 0;
    virtual bool exists(quint64 id) = 0;
};

namespace {

struct SlotLog : HostToastListener
{
    QStringList calls;
    void activated(quint64 id, int source, qint64 index, const QString& action) override
    {
        calls << QStringLiteral("activated %1 %2 %3 %4").arg(id).arg(source).arg(index).arg(action);
    }
    void dismissed(quint64 id, int reason) override { calls << QStringLiteral("dismissed %1 %2").arg(id).arg(reason); }
    void failed(quint64 id, int code) override { calls << QStringLiteral("failed %1 %2").arg(id).arg(code); }
};

QWidget* balloon()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QBalloonTip")
            return w;
    }
    return nullptr;
}

QStringList labelTexts(QWidget* w)
{
    QStringList texts;
    for (QLabel* label : w->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts << label->text();
    }
    return texts;
}

} // namespace

class TestTrayRoad : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void clickReachesListener();
    void balloonLivesForItsExpiration_data();
    void balloonLivesForItsExpiration();
    void deadListenerHearsNothing();

private:
    HostToastService* createTray();

    QLibrary m_module{QStringLiteral(SNT_MODULE_FILE)};
    HostToastService* (*m_create)(bool) = nullptr;
    void (*m_delete)(HostToastService*) = nullptr;
    bool (*m_supported)() = nullptr;
};

void TestTrayRoad::initTestCase()
{
    QVERIFY2(m_module.load(), qPrintable(m_module.errorString()));
    m_create = reinterpret_cast<HostToastService* (*)(bool)>(m_module.resolve("createSystemNotifyToast"));
    m_delete = reinterpret_cast<void (*)(HostToastService*)>(m_module.resolve("deleteSystemNotifyToast"));
    m_supported = reinterpret_cast<bool (*)()>(m_module.resolve("isSupportSystemToast"));
    QVERIFY(m_create && m_delete && m_supported);
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    winsim::control::pinOsVersion(QVersionNumber(6, 3, 9600)); // Windows 8.1
    QVERIFY(!m_supported());
}

void TestTrayRoad::cleanupTestCase()
{
    winsim::control::unpinOsVersion();
}

HostToastService* TestTrayRoad::createTray()
{
    HostToastService* service = m_create(false);
    if (service)
        service->init({});
    return service;
}

void TestTrayRoad::clickReachesListener()
{
    HostToastService* service = createTray();
    QVERIFY(service);
    auto listener = std::make_shared<SlotLog>();
    const QMap<int, QVariant> request{
        {0, 1},
        {1, QStringLiteral(SNT_SOURCE_DIR "/tests/data/toast-icon.png")},
        {5, QStringList{"Report ready", "Quarterly numbers were exported"}},
        {10, QStringList{"{\"text\":\"Open\",\"action\":\"open-file\"}"}},
    };
    QCOMPARE(service->show(request, listener), quint64(0));
    QVERIFY(service->exists(0));
    QVERIFY(!service->update(0, request));

    QTRY_VERIFY(balloon());
    const QStringList texts = labelTexts(balloon());
    QVERIFY2(texts.contains("Report ready"), qPrintable(texts.join('|')));
    QVERIFY2(texts.contains("Quarterly numbers were exported"), qPrintable(texts.join('|')));

    QTest::mouseClick(balloon(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTRY_COMPARE(listener->calls, QStringList{"activated 0 1 0 Open"});
    QTRY_VERIFY(!balloon());

    QVERIFY(service->hide(0));
    QVERIFY(service->exists(0));
    m_delete(service);
    m_delete(nullptr);
}

void TestTrayRoad::balloonLivesForItsExpiration_data()
{
    QTest::addColumn<int>("expiration");
    QTest::addColumn<int>("expectedMs");
    QTest::newRow("given") << 1500 << 1500;
    QTest::newRow("default") << 0 << 10000;
    // Read as 4294967295 ms, more than showMessage's int takes: the longest it does take.
    QTest::newRow("beyond int") << -1 << std::numeric_limits<int>::max();
}

void TestTrayRoad::balloonLivesForItsExpiration()
{
    QFETCH(int, expiration);
    QFETCH(int, expectedMs);
    HostToastService* service = createTray();
    auto listener = std::make_shared<SlotLog>();
    QElapsedTimer timer;
    timer.start();
    service->show({{0, 0}, {5, QStringList{"Only a title"}}, {9, expiration}}, listener);
    QTRY_VERIFY(balloon());
    QCOMPARE(labelTexts(balloon()).count("Only a title"), 1);
    // The balloon closes itself on a timer of the time it was given. Qt keeps
    // timers of more than 20 s in whole seconds, and reports them back in an
    // int that can wrap: read it unsigned, to the second.
    bool timed = false;
    for (const auto& timer : QAbstractEventDispatcher::instance()->registeredTimers(balloon()))
        timed = timed || qAbs(qint64(quint32(timer.interval)) - expectedMs) <= 1000;
    QVERIFY(timed);
    if (expectedMs > 60000) {
        m_delete(service);
        return; // weeks: the timer is all there is to see
    }
    QTRY_VERIFY_WITH_TIMEOUT(!balloon(), expectedMs + 5000);
    // The balloon's own coarse timer closes it, which Qt lets fire up to 5 % early.
    QVERIFY2(timer.elapsed() >= expectedMs * 94 / 100, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(listener->calls.isEmpty());
    m_delete(service);
}

void TestTrayRoad::deadListenerHearsNothing()
{
    HostToastService* service = createTray();
    auto listener = std::make_shared<SlotLog>();
    std::weak_ptr<SlotLog> watch = listener;
    service->show({{0, 1}, {5, QStringList{"a", "b"}}, {10, QStringList{"{\"text\":\"Open\"}"}}}, listener);
    QTRY_VERIFY(balloon());
    listener.reset();
    QTest::mouseClick(balloon(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTRY_VERIFY(!balloon());
    QVERIFY(watch.expired());
    m_delete(service);
}

QTEST_MAIN(TestTrayRoad)
#include "tst_trayroad.moc"
