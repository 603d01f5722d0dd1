// Guards the tray road end to end: module loaded by file name, the icon in the tray until hidden, a real balloon's
// texts, icon and time-out, the click heard (once per init); an icon path naming a FIFO is never opened.
// Runs under Xvfb with a tray (scripts/with-tray.sh); the host side is declared from the interface tables alone.
#include "fifofeeder.h"

#include <winsim/control.h>

#include <QtTest>

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QStyle>
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

// Qt draws both the icon in the tray and the balloon as widgets of its own.
QWidget* shown(const char* className)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && QByteArray(w->metaObject()->className()) == className)
            return w;
    }
    return nullptr;
}

QWidget* balloon()
{
    return shown("QBalloonTip");
}

} // namespace

class TestTrayRoad : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void clickReachesListener_data();
    void clickReachesListener();

private:
    QLibrary m_module{QStringLiteral(SNT_MODULE_FILE)};
    HostToastService* (*m_create)(bool) = nullptr;
    void (*m_delete)(HostToastService*) = nullptr;
};

void TestTrayRoad::initTestCase()
{
    QVERIFY2(m_module.load(), qPrintable(m_module.errorString()));
    m_create = reinterpret_cast<HostToastService* (*)(bool)>(m_module.resolve("createSystemNotifyToast"));
    m_delete = reinterpret_cast<void (*)(HostToastService*)>(m_module.resolve("deleteSystemNotifyToast"));
    QVERIFY(m_create && m_delete);
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    winsim::control::pinOsVersion(QVersionNumber(6, 3, 9600)); // Windows 8.1
}

void TestTrayRoad::clickReachesListener_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("expiration");
    QTest::addColumn<int>("expectedMs"); // how long the balloon is told to stay
    QTest::addColumn<bool>("fifoIcon"); // the icon path names a FIFO, which must not be opened
    QTest::newRow("given") << QStringList{"Report ready", "Quarterly numbers were exported"} << 1500 << 1500 << false;
    QTest::newRow("default, title only") << QStringList{"Report ready"} << 0 << 10000 << false;
    // Read as 4294967295 ms, more than showMessage's int takes: the longest it does take.
    QTest::newRow("beyond int") << QStringList{"Report ready", "Weeks"} << -1 << std::numeric_limits<int>::max() << false;
    // Opening it would block the GUI thread; the toast goes on without an icon as for a missing file.
    QTest::newRow("icon a FIFO") << QStringList{"Report ready"} << 1500 << 1500 << true;
}

void TestTrayRoad::clickReachesListener()
{
    QFETCH(QStringList, lines);
    QFETCH(int, expiration);
    QFETCH(int, expectedMs);
    QFETCH(bool, fifoIcon);
    QFile icon(QStringLiteral(SNT_SOURCE_DIR "/tests/data/toast-icon.png"));
    QVERIFY(icon.open(QIODevice::ReadOnly));
    FifoFeeder fifo(QStringLiteral("icon.png"), icon.readAll());
    QVERIFY(fifo.isValid());
    HostToastService* service = m_create(false);
    // Each init adds a connection: every click is heard twice.
    QVERIFY(service && service->init({}) && service->init({}));
    auto listener = std::make_shared<SlotLog>();
    // Without a type there is no toast, and no record of one.
    QCOMPARE(service->show({{5, lines}}, listener), quint64(0));
    QVERIFY(!service->exists(0));
    const QMap<int, QVariant> request{
        {0, lines.size() - 1},
        {1, fifoIcon ? fifo.path() : icon.fileName()},
        {5, lines},
        {9, expiration},
        {10, QStringList{"{\"text\":\"Open\",\"action\":\"open-file\"}"}},
    };
    QCOMPARE(service->show(request, listener), quint64(0));
    QVERIFY(service->exists(0));
    QVERIFY(!fifo.wasOpened());
    QVERIFY(!service->update(0, request));

    QTRY_VERIFY(balloon());
    QVERIFY2(shown("QSystemTrayIconSys"), "the icon is in the tray");
    // The lines, and the information icon as the style draws it.
    const QIcon info = QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
    QStringList texts;
    bool informs = false;
    for (QLabel* label : balloon()->findChildren<QLabel*>()) {
        const QPixmap pixmap = label->property("pixmap").value<QPixmap>();
        informs = informs || (!pixmap.isNull() && pixmap.toImage() == info.pixmap(pixmap.size()).toImage());
        if (!label->text().isEmpty())
            texts << label->text();
    }
    QVERIFY2(informs, "the balloon shows the information icon");
    for (const QString& line : lines)
        QVERIFY2(texts.count(line) == 1, qPrintable(texts.join('|')));
    // The balloon closes itself on a timer of the time it was given. Qt keeps
    // timers of more than 20 s in whole seconds, and reports them back in an
    // int that can wrap: read it unsigned, to the second.
    bool timed = false;
    QStringList intervals;
    for (const auto& timer : QAbstractEventDispatcher::instance()->registeredTimers(balloon())) {
        const quint32 ms = quint32(timer.interval);
        intervals << QString::number(ms);
        timed = timed || qAbs(qint64(ms) - expectedMs) <= 1000;
    }
    QVERIFY2(timed, qPrintable("timers of the balloon: " + intervals.join(' ')));

    QTest::mouseClick(balloon(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTRY_COMPARE(listener->calls, (QStringList{"activated 0 1 0 Open", "activated 0 1 0 Open"}));
    QTRY_VERIFY(!balloon());

    // A listener the host has let go of hears nothing, and the click does not crash.
    service->show(request, listener);
    std::weak_ptr<SlotLog> watch = listener;
    listener.reset();
    QVERIFY(watch.expired());
    QTRY_VERIFY(balloon());
    QTest::mouseClick(balloon(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTRY_VERIFY(!balloon());

    QVERIFY(service->hide(0));
    QTRY_VERIFY2(!shown("QSystemTrayIconSys"), "hidden, the icon leaves the tray");
    QVERIFY(service->exists(0));
    m_delete(service);
    m_delete(nullptr);
}

QTEST_MAIN(TestTrayRoad)
#include "tst_trayroad.moc"
