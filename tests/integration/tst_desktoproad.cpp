// Native toasts the way a host gets them on a Linux desktop: the module loaded
// by file name, no version pinned (the module must find dunst by itself), the
// toast shown in dunst and what the user does there heard by the listener.
#include "dunstprobe.h"
#include "freedesktopbackend.h"

#include "isystemnotifytoast.h"
#include "modulelibrary.h"
#include "recordinglistener.h"

#include <winsim/control.h>

#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString kAppId = QStringLiteral("Vantor.Office.Road");

// One listener call as a short line; ids and threads are checked apart.
QString describe(const RecordingListener::Call& call)
{
    switch (call.kind) {
    case RecordingListener::Activated:
        return QStringLiteral("activated %1 %2 %3").arg(call.source).arg(call.index).arg(call.action);
    case RecordingListener::Dismissed:
        return QStringLiteral("dismissed %1").arg(call.value);
    case RecordingListener::Failed:
        return QStringLiteral("failed 0x%1").arg(quint32(call.value), 8, 16, QLatin1Char('0'));
    }
    return QString();
}

QStringList heard(const RecordingListener& listener)
{
    QStringList lines;
    for (const RecordingListener::Call& call : listener.calls())
        lines.append(describe(call));
    return lines;
}

// Every call for `id`, on the thread that called showToast.
bool allFor(const RecordingListener& listener, quint64 id)
{
    for (const RecordingListener::Call& call : listener.calls()) {
        if (call.id != id || call.thread != QThread::currentThread())
            return false;
    }
    return true;
}

// The text a user reads from dunst's markup, and the elements it used.
QString rendered(const QString& markup, QStringList* elements)
{
    QXmlStreamReader reader(QStringLiteral("<m>%1</m>").arg(markup));
    QString text;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Characters)
            text += reader.text();
        else if (token == QXmlStreamReader::StartElement && reader.name() != QLatin1String("m"))
            elements->append(reader.name().toString());
    }
    if (reader.hasError())
        return QStringLiteral("unreadable markup: ") + reader.errorString();
    return text;
}

QStringList actionsJson(const QStringList& textsAndActions)
{
    QStringList entries;
    for (int i = 0; i + 1 < textsAndActions.size(); i += 2)
        entries.append(QStringLiteral("{\"text\":\"%1\",\"action\":\"%2\"}").arg(textsAndActions[i], textsAndActions[i + 1]));
    return entries;
}

bool everyoneHeard(const QVector<std::shared_ptr<RecordingListener>>& listeners)
{
    for (const auto& listener : listeners) {
        if (listener->count() == 0)
            return false;
    }
    return true;
}

} // namespace

class DesktopRoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void toastAndChosenActionInDunst();
    void outcomes_data();
    void outcomes();
    void markupShowsLiterally_data();
    void markupShowsLiterally();
    void serverKilled_data();
    void serverKilled();
    void burst();

private:
    quint64 show(const QMap<int, QVariant>& request, const std::shared_ptr<RecordingListener>& listener);
    void expectNothingMoreAfterASentinel();

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
    QVERIFY(m_module->isSupported());
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
    QFile::remove(qEnvironmentVariable("WITH_DESKTOP_DIR") + "/dmenu-pick");
    if (!dunst::serverOnBus())
        QVERIFY(dunst::startServer());
    QVERIFY(dunst::ctl("close-all"));
    QTRY_COMPARE(dunst::holds(), 0);
    QCoreApplication::sendPostedEvents();
}

quint64 DesktopRoadTest::show(const QMap<int, QVariant>& request, const std::shared_ptr<RecordingListener>& listener)
{
    const quint64 id = m_service->showToast(request, listener);
    if (id == 0)
        qWarning() << "showToast refused" << request;
    return id;
}

// dunst's signals reach the listener in the order dunst sent them: once a toast
// closed after everything else has been heard, a late or second report of an
// earlier toast would have been heard before it.
void DesktopRoadTest::expectNothingMoreAfterASentinel()
{
    QCOMPARE(dunst::holds(), 0);
    auto listener = std::make_shared<RecordingListener>();
    const quint64 id = show({{0, 0}, {5, QStringList{QStringLiteral("Sentinel %1").arg(QDateTime::currentMSecsSinceEpoch())}}},
                            listener);
    QVERIFY(id != 0);
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(dunst::ctl("close"));
    QTRY_COMPARE(heard(*listener), QStringList{"dismissed 0"});
}

void DesktopRoadTest::toastAndChosenActionInDunst()
{
    auto listener = std::make_shared<RecordingListener>();
    const quint64 id = show({{0, 5},
                             {3, m_logo},
                             {5, QStringList{QStringLiteral("Document saved"), QStringLiteral("Quarterly report.docx is in the cloud")}},
                             {10, actionsJson({"Open", "open-doc", "Later", "remind-later"})}},
                            listener);
    QVERIFY(id != 0);
    QTRY_COMPARE(dunst::holds(), 1);

    // The user opens dunst's menu and picks the second button.
    QVERIFY(dunst::pickNext(",remind-later]"));
    QVERIFY(dunst::ctl("context"));
    QTRY_COMPARE(heard(*listener), QStringList{"activated 1 1 remind-later"});
    QVERIFY(allFor(*listener, id));
    const QString menu = dunst::lastMenu();
    QVERIFY2(menu.contains("#Open (Document saved) [") && menu.contains(",open-doc]"), qPrintable(menu));
    QVERIFY2(menu.contains("#Later (Document saved) [") && menu.contains(",remind-later]"), qPrintable(menu));

    // Gone from the screen as on Windows, though dunst keeps toasts after a menu pick.
    QTRY_COMPARE(dunst::holds(), 0);
    const QVariantMap shown = dunst::history().first();
    QCOMPARE(shown.value("summary").toString(), QStringLiteral("Document saved"));
    QCOMPARE(shown.value("body").toString(), QStringLiteral("Quarterly report.docx is in the cloud"));
    QCOMPARE(shown.value("icon_path").toString(), m_logo);
    QCOMPARE(shown.value("appname").toString(), kAppId);

    // That close is no second outcome.
    expectNothingMoreAfterASentinel();
    QCOMPARE(heard(*listener), QStringList{"activated 1 1 remind-later"});
}

void DesktopRoadTest::outcomes_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("duration");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("closed in dunst") << "dunstctl close" << 2 << QStringList{"dismissed 0"};
    // The platform hears "hidden by the application" from dunst too; the module
    // has already reported the hide itself and must not report it again.
    QTest::newRow("hidden by the host") << "hideToast" << 2 << QStringList{"dismissed 0"};
    QTest::newRow("short toast expires") << "wait" << 1 << QStringList{"dismissed 2"};
    // A click on the body carries no action's string: nobody is told.
    QTest::newRow("body clicked") << "dunstctl action" << 2 << QStringList();
}

void DesktopRoadTest::outcomes()
{
    QFETCH(QString, how);
    QFETCH(int, duration);
    QFETCH(QStringList, expected);

    auto listener = std::make_shared<RecordingListener>();
    const quint64 id = show({{0, 1},
                             {5, QStringList{QStringLiteral("Outcome"), how}},
                             {8, duration},
                             {10, actionsJson({"Open", "open", "Later", "later"})}},
                            listener);
    QVERIFY(id != 0);
    QTRY_COMPARE(dunst::holds(), 1);

    if (how == "hideToast")
        QVERIFY(m_service->hideToast(id));
    else if (how.startsWith("dunstctl"))
        QVERIFY(dunst::ctl(how.section(' ', 1)));
    // A short toast lasts 7 s.
    QTRY_COMPARE_WITH_TIMEOUT(heard(*listener), expected, 15000);
    QVERIFY(allFor(*listener, id));
    // A clicked body leaves the screen too, though it reports nothing.
    QTRY_COMPARE(dunst::holds(), 0);
    // The newest entry of dunst's history is this toast, closed; dunst keeps times in µs.
    const QVariantMap shown = dunst::history().first();
    QCOMPARE(shown.value("body").toString(), how);
    QCOMPARE(shown.value("timeout").toLongLong(), (duration == 1 ? 7000 : 25000) * 1000LL);

    expectNothingMoreAfterASentinel();
    QCOMPARE(heard(*listener), expected);
    QVERIFY(m_service->isToastExist(id));
}

void DesktopRoadTest::markupShowsLiterally_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("bold") << "<b>not bold</b>";
    QTest::newRow("ampersands") << "Tom & Jerry &amp; &lt;co&gt;";
    QTest::newRow("link") << "<a href=\"https://example.org/?a=1&b=2\">not a link</a>";
}

void DesktopRoadTest::markupShowsLiterally()
{
    QFETCH(QString, line);

    auto listener = std::make_shared<RecordingListener>();
    const quint64 id = show({{0, 1}, {5, QStringList{line, line}}, {7, line}}, listener);
    QVERIFY(id != 0);
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(dunst::ctl("close"));
    QTRY_COMPARE(heard(*listener), QStringList{"dismissed 0"});

    // dunst reads the body as markup (the summary never): escaped once, the
    // body reads as the text itself and only the attribution's italics remain.
    const QVariantMap shown = dunst::history().first();
    QCOMPARE(shown.value("summary").toString(), line);
    QCOMPARE(shown.value("body").toString(), QStringLiteral("%1\n<i>%1</i>").arg(line.toHtmlEscaped()));
    QStringList elements;
    QCOMPARE(rendered(shown.value("message").toString(), &elements), QStringLiteral("%1\n%1\n%1").arg(line));
    // Only dunst's own bold summary and the attribution's italics are markup.
    QCOMPARE(elements, (QStringList{"b", "i"}));
}

void DesktopRoadTest::serverKilled_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("allShownFirst");

    QTest::newRow("all shown") << 3 << true;
    // Killed while most are still on their way: those fail, the shown ones close.
    QTest::newRow("mid-burst") << 150 << false;
}

void DesktopRoadTest::serverKilled()
{
    QFETCH(int, count);
    QFETCH(bool, allShownFirst);

    QVector<std::shared_ptr<RecordingListener>> listeners;
    QVector<quint64> ids;
    for (int i = 0; i < count; ++i) {
        listeners.append(std::make_shared<RecordingListener>());
        ids.append(show({{0, 1}, {5, QStringList{QStringLiteral("Doomed %1").arg(i), QStringLiteral("body")}},
                         {10, actionsJson({"Open", "open", "Later", "later"})}},
                        listeners.last()));
        QVERIFY(ids.last() != 0);
    }
    if (allShownFirst)
        QTRY_COMPARE(dunst::holds(), count);
    else
        QTRY_VERIFY(dunst::holds() >= 1);
    QVERIFY(dunst::killServer());

    QTRY_VERIFY_WITH_TIMEOUT(everyoneHeard(listeners), 30000);

    // Back on a desktop with dunst again: the same service shows toasts again.
    QVERIFY(dunst::startServer());
    expectNothingMoreAfterASentinel();

    // The server's own reason for "gone" is none of the host's three: it reads as closed.
    const QString gone = describe({RecordingListener::Failed, 0, 0, 0, QString(), winsim::freedesktop::ServerGone, nullptr});
    int dismissed = 0;
    for (int i = 0; i < count; ++i) {
        const QStringList lines = heard(*listeners[i]);
        QVERIFY2(lines == QStringList{"dismissed 0"} || lines == QStringList{gone},
                 qPrintable(QString("toast %1: %2").arg(i).arg(lines.join(", "))));
        QVERIFY(allFor(*listeners[i], ids[i]));
        dismissed += lines.first().startsWith("dismissed");
    }
    if (allShownFirst)
        QCOMPARE(dismissed, count);
    qInfo("%d of %d toasts were shown when dunst died", dismissed, count);
}

void DesktopRoadTest::burst()
{
    constexpr int count = 500;
    QVector<std::shared_ptr<RecordingListener>> listeners;
    QVector<quint64> ids;
    for (int i = 0; i < count; ++i) {
        listeners.append(std::make_shared<RecordingListener>());
        // dunst stacks identical toasts into one: each has its own text.
        ids.append(show({{0, 1}, {5, QStringList{QStringLiteral("Burst %1").arg(i), QStringLiteral("of %1").arg(count)}},
                         {10, actionsJson({"Open", "open", "Later", "later"})}},
                        listeners.last()));
        QVERIFY(ids.last() != 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(dunst::holds(), count, 90000);
    for (const auto& listener : qAsConst(listeners))
        QCOMPARE(listener->count(), 0);

    QVERIFY(dunst::ctl("close-all"));
    QTRY_VERIFY_WITH_TIMEOUT(everyoneHeard(listeners), 90000);
    QCOMPARE(dunst::holds(), 0);
    expectNothingMoreAfterASentinel();
    for (int i = 0; i < count; ++i) {
        QVERIFY2(heard(*listeners[i]) == QStringList{"dismissed 0"}, qPrintable(heard(*listeners[i]).join(", ")));
        QVERIFY(allFor(*listeners[i], ids[i]));
    }
    QCOMPARE(QSet<quint64>(ids.begin(), ids.end()).size(), count);
}

QTEST_GUILESS_MAIN(DesktopRoadTest)
#include "tst_desktoproad.moc"
