// Guards the native road on a Linux desktop end to end: a desktop with a notification server taken for Windows 10
// (native toasts, not tray balloons), the toast shown in dunst, and what the user does there heard once by the host.
#include "dunstprobe.h"
#include "isystemnotifytoast.h"
#include "modulelibrary.h"
#include "recordinglistener.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kAppId = QStringLiteral("Vantor.Office.Road");

QString desktopFile(const QString& name)
{
    return qEnvironmentVariable("WITH_DESKTOP_DIR") + QLatin1Char('/') + name;
}

QStringList heard(const RecordingListener& listener, quint64 id)
{
    QStringList lines;
    for (const RecordingListener::Call& call : listener.calls()) {
        QString line = call.kind == RecordingListener::Activated
            ? QStringLiteral("activated %1 %2 %3").arg(call.source).arg(call.index).arg(call.action)
            : QStringLiteral("%1 %2").arg(call.kind == RecordingListener::Dismissed ? "dismissed" : "failed").arg(call.value);
        if (call.id != id || call.thread != QThread::currentThread())
            line += QStringLiteral(" (toast %1, another thread: %2)").arg(call.id).arg(call.thread != QThread::currentThread());
        lines.append(line);
    }
    return lines;
}

} // namespace

class DesktopRoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void userInDunst_data();
    void userInDunst();

private:
    QTemporaryDir m_files;
    QString m_logo;
    std::unique_ptr<ModuleLibrary> m_module;
    ISystemNotifyToast* m_service = nullptr;
};

void DesktopRoadTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("WITH_DESKTOP_DIR"))
        QSKIP("needs dunst on a private desktop: run it under scripts/with-desktop.sh");
    QVERIFY(m_files.isValid());
    m_logo = m_files.filePath("logo.png");
    QImage logo(32, 32, QImage::Format_ARGB32);
    logo.fill(Qt::darkMagenta);
    QVERIFY(logo.save(m_logo));

    m_module = std::make_unique<ModuleLibrary>();
    QVERIFY2(m_module->isLoaded(), qPrintable(m_module->errorString()));
    // Nothing pinned: dunst on the bus must make this a native-toast desktop.
    QVERIFY2(m_module->isSupported(), "a desktop with dunst is not taken for Windows 10");
    m_service = m_module->create(false);
    QVERIFY(m_service);
    QVERIFY(m_service->init({{QStringLiteral("appUserModeId"), kAppId}}));
}

void DesktopRoadTest::cleanupTestCase()
{
    if (m_service)
        m_module->destroy(m_service);
}

void DesktopRoadTest::init()
{
    QFile::remove(desktopFile("dmenu-pick"));
    QVERIFY(dunst::ctl("close-all"));
    QTRY_COMPARE(dunst::holds(), 0);
}

void DesktopRoadTest::userInDunst_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("duration");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("second button picked from the menu") << "pick" << 2 << QStringList{"activated 1 1 remind-later"};
    QTest::newRow("closed in dunst") << "close" << 2 << QStringList{"dismissed 0"};
    // dunst reports the hide as well; the module has already told the host.
    QTest::newRow("hidden by the host") << "hideToast" << 2 << QStringList{"dismissed 0"};
    QTest::newRow("short toast expires") << "wait" << 1 << QStringList{"dismissed 2"};
}

void DesktopRoadTest::userInDunst()
{
    QFETCH(QString, how);
    QFETCH(int, duration);
    QFETCH(QStringList, expected);

    auto listener = std::make_shared<RecordingListener>();
    const QString actions = QStringLiteral("{\"text\":\"Open\",\"action\":\"open-doc\"}|"
                                           "{\"text\":\"Later\",\"action\":\"remind-later\"}");
    const quint64 id = m_service->showToast({{0, 5},
                                             {3, m_logo},
                                             {5, QStringList{QStringLiteral("Document saved"), how}},
                                             {8, duration},
                                             {10, actions.split('|')}},
                                            listener);
    QVERIFY(id != 0);
    QTRY_COMPARE(dunst::holds(), 1);

    if (how == "pick") {
        // dunst's context menu lists the buttons; the dmenu stand-in picks the second.
        QFile pick(desktopFile("dmenu-pick"));
        QVERIFY(pick.open(QIODevice::WriteOnly) && pick.write(",remind-later]") > 0);
        pick.close();
        QVERIFY(dunst::ctl("context"));
    } else if (how == "hideToast") {
        QVERIFY(m_service->hideToast(id));
    } else if (how == "close") {
        QVERIFY(dunst::ctl(how));
    }
    // A short toast lasts 7 s.
    QTRY_COMPARE_WITH_TIMEOUT(heard(*listener, id), expected, 15000);
    // Gone from the screen as on Windows, though dunst keeps toasts after a menu pick.
    QTRY_COMPARE(dunst::holds(), 0);
    // dunst keeps times in µs.
    const QVariantMap shown = dunst::history().value(0);
    QCOMPARE(shown.value("summary").toString(), QStringLiteral("Document saved"));
    QCOMPARE(shown.value("body").toString(), how);
    QCOMPARE(shown.value("icon_path").toString(), m_logo);
    QCOMPARE(shown.value("appname").toString(), kAppId);
    QCOMPARE(shown.value("timeout").toLongLong(), (duration == 1 ? 7000 : 25000) * 1000LL);

    // Signals come in order: once a later toast's close is heard, a second report of this one would have been too.
    auto later = std::make_shared<RecordingListener>();
    const quint64 laterId = m_service->showToast({{0, 0}, {5, QStringList{QStringLiteral("Later")}}}, later);
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(dunst::ctl("close"));
    QTRY_COMPARE(heard(*later, laterId), QStringList{"dismissed 0"});
    QCOMPARE(heard(*listener, id), expected);
}

QTEST_GUILESS_MAIN(DesktopRoadTest)
#include "tst_desktoproad.moc"
