// The tray-balloon service in process, on the offscreen platform: records,
// answers and the click road. What a real tray shows is checked under Xvfb.
#include "oldsystemnotifytoastwinimpl.h"
#include "toastrequestkey.h"

#include "recordinglistener.h"

#include <QtTest>

using Request = QMap<int, QVariant>;

namespace {

Request request(const QStringList& actions = {})
{
    return {{ToastKeyType, 1}, {ToastKeyTextFields, QStringList{"Title", "Body"}}, {ToastKeyActions, actions}};
}

} // namespace

class TestTrayToast : public QObject
{
    Q_OBJECT
private slots:
    void answers();
    void clickReportsCaption_data();
    void clickReportsCaption();
    void clickGoesToLatestListener();
    void clickWithoutListenerOrRecord();
    void eachInitAddsAConnection();
    void refusedRequestChangesNothing();
    void iconFollowsRequest();
};

void TestTrayToast::answers()
{
    OldSystemNotifyToastWinImpl tray;
    QVERIFY(tray.init({}));
    QVERIFY(!tray.isToastExist(0));
    auto listener = std::make_shared<RecordingListener>();
    QCOMPARE(tray.showToast(request(), listener), quint64(0));
    QVERIFY(tray.isToastExist(0));
    QVERIFY(!tray.isToastExist(1));
    QVERIFY(!tray.updateToast(0, request()));
    QVERIFY(tray.trayIcon()->isVisible());
    QVERIFY(tray.hideToast(42));
    QVERIFY(!tray.trayIcon()->isVisible());
    QVERIFY(tray.isToastExist(0)); // the record outlives the hide
    QCOMPARE(listener->count(), 0);
}

void TestTrayToast::clickReportsCaption_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("reported");

    QTest::newRow("first caption") << QStringList{"{\"text\":\"Open\",\"action\":\"open-file\"}",
                                                  "{\"text\":\"Later\",\"action\":\"later\"}"}
                                   << "Open";
    QTest::newRow("no actions") << QStringList{} << "";
    QTest::newRow("first action unreadable") << QStringList{"bad", "{\"text\":\"Second\"}"} << "Second";
}

void TestTrayToast::clickReportsCaption()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, reported);
    OldSystemNotifyToastWinImpl tray;
    tray.init({});
    auto listener = std::make_shared<RecordingListener>();
    tray.showToast(request(actions), listener);
    emit tray.trayIcon()->messageClicked();
    const auto calls = listener->calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, RecordingListener::Activated);
    QCOMPARE(calls[0].id, quint64(0));
    QCOMPARE(calls[0].source, 1);
    QCOMPARE(calls[0].index, qint64(0));
    QCOMPARE(calls[0].action, reported);
}

void TestTrayToast::clickGoesToLatestListener()
{
    OldSystemNotifyToastWinImpl tray;
    tray.init({});
    auto first = std::make_shared<RecordingListener>();
    auto second = std::make_shared<RecordingListener>();
    tray.showToast(request({"{\"text\":\"One\"}"}), first);
    tray.showToast(request({"{\"text\":\"Two\"}"}), second);
    emit tray.trayIcon()->messageClicked();
    QCOMPARE(first->count(), 0);
    QCOMPARE(second->count(), 1);
    QCOMPARE(second->calls()[0].action, QStringLiteral("Two"));
}

void TestTrayToast::clickWithoutListenerOrRecord()
{
    OldSystemNotifyToastWinImpl tray;
    tray.init({});
    emit tray.trayIcon()->messageClicked(); // nothing shown yet: nothing to report, no crash
    auto listener = std::make_shared<RecordingListener>();
    tray.showToast(request({"{\"text\":\"Open\"}"}), listener);
    std::weak_ptr<RecordingListener> watch = listener;
    listener.reset();
    QVERIFY(watch.expired());
    emit tray.trayIcon()->messageClicked();
    QVERIFY(tray.isToastExist(0));
}

void TestTrayToast::eachInitAddsAConnection()
{
    OldSystemNotifyToastWinImpl tray;
    tray.init({});
    tray.init({});
    auto listener = std::make_shared<RecordingListener>();
    tray.showToast(request({"{\"text\":\"Open\"}"}), listener);
    emit tray.trayIcon()->messageClicked();
    QCOMPARE(listener->count(), 2);
}

void TestTrayToast::refusedRequestChangesNothing()
{
    OldSystemNotifyToastWinImpl tray;
    tray.init({});
    auto listener = std::make_shared<RecordingListener>();
    QCOMPARE(tray.showToast({{ToastKeyTextFields, QStringList{"no type"}}}, listener), quint64(0));
    QVERIFY(!tray.isToastExist(0));
    QVERIFY(!tray.trayIcon()->isVisible());
    emit tray.trayIcon()->messageClicked();
    QCOMPARE(listener->count(), 0);
}

void TestTrayToast::iconFollowsRequest()
{
    OldSystemNotifyToastWinImpl tray;
    tray.init({});
    auto listener = std::make_shared<RecordingListener>();
    const QString iconFile = QStringLiteral(SNT_SOURCE_DIR "/tests/data/toast-icon.png");
    QVERIFY(QFile::exists(iconFile));
    Request withIcon = request();
    withIcon.insert(ToastKeyIconPath, iconFile);
    tray.showToast(withIcon, listener);
    QVERIFY(!tray.trayIcon()->icon().isNull());
    tray.showToast(request(), listener);
    QVERIFY(tray.trayIcon()->icon().isNull());
}

QTEST_MAIN(TestTrayToast)
#include "tst_traytoast.moc"
