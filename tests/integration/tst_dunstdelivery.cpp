// The freedesktop back end against Debian's dunst on a private desktop
// (scripts/with-desktop.sh): what dunst shows, what the user does there.
#include "freedesktopbackend.h"
#include "dunstprobe.h"
#include "recordingsink.h"

#include <winsim/control.h>

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using winsim::FreedesktopBackend;
using winsim::ToastDelivery;
using dunst::history;
using dunst::run;

namespace {

const QString kAppId = QStringLiteral("Vantor.Office.Test");
const QString kService = QStringLiteral("org.freedesktop.Notifications");

QString desktopFile(const QString& name)
{
    return qEnvironmentVariable("WITH_DESKTOP_DIR") + QLatin1Char('/') + name;
}

QString toast(const QString& texts, const QString& more = QString(), const QString& duration = QString())
{
    return QStringLiteral("<toast%1><visual><binding template=\"ToastGeneric\">%2</binding></visual>%3</toast>")
        .arg(duration.isEmpty() ? QString() : QStringLiteral(" duration=\"%1\"").arg(duration), texts, more);
}

QString text(const QString& content)
{
    return QStringLiteral("<text>%1</text>").arg(content.toHtmlEscaped());
}

const QString kTwoActions = QStringLiteral(
    "<actions><action content=\"Reply\" arguments=\"reply-args\"/><action content=\"Later\" arguments=\"later-args\"/></actions>");

} // namespace

class DunstDeliveryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void toastWithActionsReachesDunst();
    void userOutcomes_data();
    void userOutcomes();
    void markupArrivesAsText_data();
    void markupArrivesAsText();
    void burst();
    void serverKilled();
    void detectedVersion();

private:
    QTemporaryDir m_files;
    QString m_logo;
    quint64 m_nextKey = 1;
};

void DunstDeliveryTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("WITH_DESKTOP_DIR"))
        QSKIP("needs dunst on a private desktop: run it under scripts/with-desktop.sh");
    QVERIFY(m_files.isValid());
    m_logo = m_files.filePath("logo.png");
    QImage logo(32, 32, QImage::Format_ARGB32);
    logo.fill(Qt::darkCyan);
    QVERIFY(logo.save(m_logo));
}

void DunstDeliveryTest::init()
{
    QFile::remove(desktopFile("dmenu-pick"));
    QVERIFY(run("dunstctl", {"close-all"}));
    QTRY_COMPARE(dunst::holds(), 0);
}

void DunstDeliveryTest::toastWithActionsReachesDunst()
{
    FreedesktopBackend backend;
    auto sink = std::make_shared<RecordingSink>();
    const QString xml = toast(QStringLiteral("<image placement=\"appLogoOverride\" src=\"file:///%1\"/>").arg(m_logo)
                                  + text("Document saved") + text("Report.docx is in the cloud")
                                  + "<text placement=\"attribution\">Sync</text>",
                              kTwoActions);
    backend.show(ToastDelivery{m_nextKey++, kAppId, xml}, sink);
    QTRY_COMPARE(dunst::holds(), 1);

    // dunst's context menu lists the actions; the dmenu stand-in picks the second.
    QFile pick(desktopFile("dmenu-pick"));
    QVERIFY(pick.open(QIODevice::WriteOnly));
    pick.write(",later-args]");
    pick.close();
    QVERIFY(run("dunstctl", {"context"}));
    QTRY_COMPARE(sink->lines(), QStringList{"activated later-args"});
    QVERIFY(!sink->threads().contains(QThread::currentThread()));

    QFile menu(desktopFile("dmenu-input"));
    QVERIFY(menu.open(QIODevice::ReadOnly));
    const QString offered = QString::fromUtf8(menu.readAll());
    QVERIFY2(offered.contains("#Reply (Document saved) [") && offered.contains(",reply-args]"), qPrintable(offered));
    QVERIFY2(offered.contains("#Later (Document saved) [") && offered.contains(",later-args]"), qPrintable(offered));

    // dunst keeps a toast after an action from its menu; the back end closes
    // it, and that close is no second outcome.
    QTRY_COMPARE(dunst::holds(), 0);
    const QVariantMap shown = history().first();
    QCOMPARE(shown.value("summary").toString(), QStringLiteral("Document saved"));
    QCOMPARE(shown.value("body").toString(), QStringLiteral("Report.docx is in the cloud\n<i>Sync</i>"));
    QCOMPARE(shown.value("icon_path").toString(), m_logo);
    QCOMPARE(shown.value("appname").toString(), kAppId);
    QCOMPARE(sink->lines(), QStringList{"activated later-args"});
}

void DunstDeliveryTest::userOutcomes_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("closed in dunst") << "dunstctl close" << "long" << "dismissed 0";
    QTest::newRow("hidden by the application") << "hide" << "long" << "dismissed 1";
    QTest::newRow("body clicked") << "dunstctl action" << "long" << "activated ";
    QTest::newRow("expired") << "wait" << "short" << "dismissed 2";
}

void DunstDeliveryTest::userOutcomes()
{
    QFETCH(QString, how);
    QFETCH(QString, duration);
    QFETCH(QString, outcome);

    FreedesktopBackend backend;
    auto sink = std::make_shared<RecordingSink>();
    const quint64 key = m_nextKey++;
    backend.show(ToastDelivery{key, kAppId, toast(text("Outcome") + text(how), kTwoActions, duration)}, sink);
    QTRY_COMPARE(dunst::holds(), 1);

    if (how == "hide")
        backend.hide(key);
    else if (how.startsWith("dunstctl"))
        QVERIFY(run("dunstctl", {how.section(' ', 1)}));
    // A short toast lasts 7 s.
    QTRY_COMPARE_WITH_TIMEOUT(sink->lines(), QStringList{outcome}, 15000);
    // Activated too: dunst keeps it, the back end closes it, silently.
    QTRY_COMPARE(dunst::holds(), 0);
    QCOMPARE(sink->lines(), QStringList{outcome});
}

void DunstDeliveryTest::markupArrivesAsText_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("bold") << "<b>not bold</b>";
    QTest::newRow("ampersand") << "Tom & Jerry &amp; co";
    QTest::newRow("link") << "<a href=\"http://example.com\">not a link</a>";
    QTest::newRow("broken markup") << "<i>unclosed & <";
}

void DunstDeliveryTest::markupArrivesAsText()
{
    QFETCH(QString, line);

    FreedesktopBackend backend;
    auto sink = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{m_nextKey++, kAppId, toast(text(line) + text(line))}, sink);
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(run("dunstctl", {"close"}));
    QTRY_COMPARE(sink->lines(), QStringList{"dismissed 0"});

    // dunst renders the body as markup: escaped, it reads as the text itself.
    const QVariantMap shown = history().first();
    QCOMPARE(shown.value("summary").toString(), line);
    QCOMPARE(shown.value("body").toString(), line.toHtmlEscaped());
    const QString message = shown.value("message").toString();
    QVERIFY2(!message.contains("<a ") && !message.contains("<b>not") && !message.contains("<i>unclosed"),
             qPrintable(message));
}

void DunstDeliveryTest::burst()
{
    constexpr int count = 500;
    FreedesktopBackend backend;
    const int before = history().size();
    QVector<std::shared_ptr<RecordingSink>> sinks;
    for (int i = 0; i < count; ++i) {
        sinks.append(std::make_shared<RecordingSink>());
        backend.show(ToastDelivery{m_nextKey++, kAppId, toast(text(QString("Burst %1").arg(i)), kTwoActions)},
                     sinks.last());
    }
    QTRY_COMPARE_WITH_TIMEOUT(dunst::holds(), count, 60000);
    for (const auto& sink : qAsConst(sinks))
        QCOMPARE(sink->lines(), QStringList());

    QVERIFY(run("dunstctl", {"close-all"}));
    auto allReported = [&sinks] {
        for (const auto& sink : qAsConst(sinks)) {
            if (sink->lines().isEmpty())
                return false;
        }
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(allReported(), 60000);
    QCOMPARE(dunst::holds(), 0);
    QCOMPARE(history().size(), before + count);
    // Let late duplicates show up before counting them.
    backend.show(ToastDelivery{m_nextKey++, kAppId, toast(text("After the burst"))}, std::make_shared<RecordingSink>());
    QTRY_COMPARE(dunst::holds(), 1);
    for (int i = 0; i < count; ++i)
        QVERIFY2(sinks.at(i)->lines() == QStringList{"dismissed 0"}, qPrintable(sinks.at(i)->lines().join(", ")));
}

void DunstDeliveryTest::serverKilled()
{
    FreedesktopBackend backend;
    QVector<std::shared_ptr<RecordingSink>> sinks;
    for (int i = 0; i < 3; ++i) {
        sinks.append(std::make_shared<RecordingSink>());
        backend.show(ToastDelivery{m_nextKey++, kAppId, toast(text(QString("Doomed %1").arg(i)), kTwoActions)}, sinks.last());
    }
    QTRY_COMPARE(dunst::holds(), 3);

    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    const QDBusReply<uint> pid = bus->servicePid(kService);
    QVERIFY(pid.isValid());
    QCOMPARE(::kill(pid_t(pid.value()), SIGKILL), 0);
    for (const auto& sink : qAsConst(sinks))
        QTRY_COMPARE(sink->lines(), QStringList{"dismissed 3"});

    // Without a server the next toast fails; with dunst back it shows again.
    auto orphan = std::make_shared<RecordingSink>();
    QTRY_VERIFY(!bus->isServiceRegistered(kService).value());
    backend.show(ToastDelivery{m_nextKey++, kAppId, toast(text("Nobody listens"))}, orphan);
    QTRY_COMPARE(orphan->lines(), QStringList{RecordingSink::failure(winsim::freedesktop::ServerUnavailable)});

    QVERIFY(run(desktopFile("start-dunst"), {}));
    auto revived = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{m_nextKey++, kAppId, toast(text("Back again"))}, revived);
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(run("dunstctl", {"close"}));
    QTRY_COMPARE(revived->lines(), QStringList{"dismissed 0"});
}

void DunstDeliveryTest::detectedVersion()
{
    winsim::control::unpinOsVersion();
    QCOMPARE(winsim::control::osVersion(), QVersionNumber(10, 0, 19045));
}

QTEST_GUILESS_MAIN(DunstDeliveryTest)
#include "tst_dunstdelivery.moc"
