// Guards the native road to dunst: a desktop with a notification server taken for Windows 10, the pick heard once, a hidden toast gone.
#include "dunstprobe.h"
#include "isystemnotifytoast.h"
#include "modulelibrary.h"
#include "recordinglistener.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kAppId = QStringLiteral("Vantor.Office.Road");

} // namespace

class DesktopRoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void chosenButtonInDunst();
    void textXmlCannotHold_data();
    void textXmlCannotHold();

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
    QTRY_COMPARE(dunst::holds(), 0);
}

void DesktopRoadTest::cleanupTestCase()
{
    if (m_service)
        m_module->destroy(m_service);
}

void DesktopRoadTest::chosenButtonInDunst()
{
    auto listener = std::make_shared<RecordingListener>();
    const QString actions = QStringLiteral("{\"text\":\"Open\",\"action\":\"open-doc\"}|"
                                           "{\"text\":\"Later\",\"action\":\"remind-later\"}");
    const quint64 id = m_service->showToast({{0, 5},
                                             {3, m_logo},
                                             {5, QStringList{QStringLiteral("Document saved"), QStringLiteral("Saved")}},
                                             {10, actions.split('|')}},
                                            listener);
    QVERIFY(id != 0);
    QTRY_COMPARE(dunst::holds(), 1);

    // dunst's context menu lists the buttons; the dmenu stand-in picks the second.
    QFile pick(qEnvironmentVariable("WITH_DESKTOP_DIR") + "/dmenu-pick");
    QVERIFY(pick.open(QIODevice::WriteOnly) && pick.write(",remind-later]") > 0);
    pick.close();
    QVERIFY(dunst::ctl("context"));
    QTRY_COMPARE(listener->heard(id), QStringList{"activated 1 1 remind-later"});
    // Gone from the screen as on Windows, though dunst keeps toasts after a menu pick.
    QTRY_COMPARE(dunst::holds(), 0);
    const QVariantMap shown = dunst::history().value(0);
    QCOMPARE(shown.value("summary").toString(), QStringLiteral("Document saved"));
    QCOMPARE(shown.value("body").toString(), QStringLiteral("Saved"));
    QCOMPARE(shown.value("icon_path").toString(), m_logo);
    QCOMPARE(shown.value("appname").toString(), kAppId);

    // Signals come in order: once a later toast is heard closed, a second report of this one would have been too.
    auto later = std::make_shared<RecordingListener>();
    const quint64 laterId = m_service->showToast({{0, 0}, {5, QStringList{QStringLiteral("Later")}}}, later);
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(dunst::ctl("close"));
    QTRY_COMPARE(later->heard(laterId), QStringList{"dismissed 0"});
    QCOMPARE(listener->heard(id), QStringList{"activated 1 1 remind-later"});

    // Hidden by the host: gone from the desktop, and heard once, as the hide's own dismissal.
    auto hidden = std::make_shared<RecordingListener>();
    const quint64 hiddenId = m_service->showToast({{0, 0}, {5, QStringList{QStringLiteral("Hidden")}}}, hidden);
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(m_service->hideToast(hiddenId));
    QTRY_COMPARE(dunst::holds(), 0);
    QCOMPARE(dunst::history().value(0).value("summary").toString(), QStringLiteral("Hidden"));
    QCOMPARE(hidden->heard(hiddenId), QStringList{"dismissed 0"});
}

// The host's text goes on as it is; the toast is shown all the same.
void DesktopRoadTest::textXmlCannotHold_data()
{
    QTest::addColumn<QString>("character");
    QTest::newRow("vertical tab") << QString(QChar(0x0B));
    QTest::newRow("escape") << QString(QChar(0x1B));
    QTest::newRow("null") << QString(QChar(0x00));
    QTest::newRow("U+FFFF") << QString(QChar(0xFFFF));
}

void DesktopRoadTest::textXmlCannotHold()
{
    QFETCH(QString, character);
    auto listener = std::make_shared<RecordingListener>();
    const quint64 id = m_service->showToast(
        {{0, 5}, {5, QStringList{"Report" + character + "2026", "line" + character}}}, listener);
    QVERIFY(id != 0);
    QTRY_COMPARE(dunst::holds(), 1);
    QCOMPARE(listener->heard(id), QStringList());
    QVERIFY(dunst::ctl("close"));
    QTRY_COMPARE(listener->heard(id), QStringList{"dismissed 0"});
    const QVariantMap shown = dunst::history().value(0);
    QCOMPARE(shown.value("summary").toString(), QStringLiteral("Report\uFFFD2026"));
    QCOMPARE(shown.value("body").toString(), QStringLiteral("line\uFFFD"));
}

QTEST_GUILESS_MAIN(DesktopRoadTest)
#include "tst_desktoproad.moc"
