// Popups end to end: through the module's exported functions where the host's
// view is enough, and on the dialog itself for placement, timer and restyling.
#include "applicationtoastwidget.h"
#include "isystemnotifytoast.h"
#include "middlelitelabel.h"
#include "modulelibrary.h"
#include "orvexcloudskinproxy.h"
#include "popuptestutil.h"
#include "recordinglistener.h"
#include "toastcontentwidget.h"
#include "toastskinresources.h"
#include "umlitecontentdlg.h"
#include "umlitelabel.h"
#include "umlitestyle.h"
#include "umskin.h"

#include <windows.h>
#include <winsim/control.h>

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace popuptest;

namespace {

QMap<int, QVariant> requestWithActions(int count)
{
    QStringList actions;
    for (int i = 0; i < count; ++i)
        actions << actionJson(QString("Action %1").arg(i), QString("act-%1").arg(i));
    QMap<int, QVariant> request = plainRequest({"File saved", "Budget.xlsx"});
    request[ToastKeyActions] = actions;
    return request;
}

QMap<int, QVariant> clickableRequest()
{
    QMap<int, QVariant> request =
        richRequest({richLine({{"Shared by ", "", false}, {"Ana", "open-profile", true}, {" today", "", false}})});
    request[ToastKeyActions] = QStringList{actionJson("Open", "open")};
    return request;
}

// The module's popups are known to the test only as kit dialogs.
QList<UmLiteContentDlg*> modulePopups()
{
    QList<UmLiteContentDlg*> popups;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (QLatin1String(w->metaObject()->className()) == QLatin1String("ApplicationToastWidget"))
            popups << qobject_cast<UmLiteContentDlg*>(w);
    }
    return popups;
}

QStringList visibleButtonTexts(const UmLiteContentDlg& popup)
{
    QStringList texts;
    for (int i = 0; i < UmLiteContentDlg::ButtonCount; ++i) {
        QPushButton* b = popup.button(UmLiteContentDlg::BtnType(i));
        if (b && !b->isHidden())
            texts << b->text();
    }
    return texts;
}

QLabel* clickableSegment(const QWidget& popup)
{
    for (QLabel* label : popup.findChildren<QLabel*>()) {
        if (label->property("enable_click").toBool() && !label->isHidden())
            return label;
    }
    return nullptr;
}

void clickThroughWindow(QWidget* target)
{
    QWidget* window = target->window();
    const QPoint at = target->mapTo(window, target->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
}

// Whether the X server stacks upper's window above lower's (xwininfo lists
// the root's children from the top down).
bool stackedAbove(const QWidget& upper, const QWidget& lower)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")});
    if (!xwininfo.waitForFinished(10000) || xwininfo.exitCode() != 0)
        return false;
    QStringList order;
    for (const QString& line : QString::fromLocal8Bit(xwininfo.readAllStandardOutput()).split('\n')) {
        if (line.trimmed().startsWith("0x"))
            order << line.trimmed().section(' ', 0, 0);
    }
    const auto id = [](const QWidget& w) { return QStringLiteral("0x%1").arg(w.windowHandle()->winId(), 0, 16); };
    const int above = order.indexOf(id(upper));
    const int below = order.indexOf(id(lower));
    return above >= 0 && below >= 0 && above < below;
}

class CountingPopup : public ApplicationToastWidget
{
public:
    int restyles = 0;
    void changeStyle() override
    {
        ++restyles;
        ApplicationToastWidget::changeStyle();
    }
};

} // namespace

class TestApplicationToast : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    // through the module
    void titleAndThemeDefaults_data();
    void titleAndThemeDefaults();
    void buttonsFollowActions_data();
    void buttonsFollowActions();
    void refusedRequestShowsNothing();
    void hideFadesAndDeletesOnce();
    void buttonClickReportsThenFadesOnce();
    void segmentClickReportsSourceTwo();
    void closeButtonClosesWithOrWithoutListener_data();
    void closeButtonClosesWithOrWithoutListener();
    void releasedListenerMakesClicksDoNothing();
    void expirationTimesOut();
    void popupsAreIndependent();
    void destroyingServiceDeletesEverythingSilently();
    void heapIsCompactedWhenTheLastPopupIsGone();

    // on the dialog
    void expirationTimer_data();
    void expirationTimer();
    void updateRestartsCountdownAndHidesExtraButtons();
    void timeoutWithReleasedListenerDoesNothing();
    void placement_data();
    void placement();
    void raisedWithoutStayingOnTop();
    void skinChangeRestylesOnceAfterTheLoop();

private:
    ModuleLibrary m_module;
    ISystemNotifyToast* m_service = nullptr;
    std::shared_ptr<RecordingListener> m_listener;
};

void TestApplicationToast::initTestCase()
{
    QVERIFY2(m_module.isLoaded(), qPrintable(m_module.errorString()));
    registerDefaultRccSources({});
    // The placement checks use the 11 px gap unscaled.
    QCOMPARE(int(UmLiteStyle::dpiScaled(11)), 11);
}

void TestApplicationToast::init()
{
    m_service = m_module.create(true);
    QVERIFY(m_service);
    QVERIFY(m_service->init({}));
    m_listener = std::make_shared<RecordingListener>();
}

void TestApplicationToast::cleanup()
{
    m_module.destroy(m_service);
    m_service = nullptr;
    QApplication::setLayoutDirection(Qt::LeftToRight);
    QTRY_VERIFY(modulePopups().isEmpty());
}

void TestApplicationToast::titleAndThemeDefaults_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<QString>("shownTheme");

    QTest::newRow("defaults") << "" << "" << "Orvex Office" << "ToastApplicationWidgetDlg";
    QTest::newRow("given") << "Sync" << "UmLiteContentDlg" << "Sync" << "UmLiteContentDlg";
}

void TestApplicationToast::titleAndThemeDefaults()
{
    QFETCH(QString, title);
    QFETCH(QString, theme);
    QFETCH(QString, shownTitle);
    QFETCH(QString, shownTheme);

    QMap<int, QVariant> request = plainRequest({"x"});
    if (!title.isEmpty())
        request[ToastKeyTitleText] = title;
    if (!theme.isEmpty())
        request[ToastKeyThemeClassName] = theme;
    QVERIFY(m_service->showToast(request, m_listener) != 0);

    QCOMPARE(modulePopups().size(), 1);
    UmLiteContentDlg* popup = modulePopups().first();
    QCOMPARE(popup->mainTitleText(), shownTitle);
    QCOMPARE(popup->themeClassName(), shownTheme);
    QVERIFY(popup->isVisible());
}

void TestApplicationToast::buttonsFollowActions_data()
{
    QTest::addColumn<int>("actions");
    QTest::addColumn<QStringList>("buttons");

    QTest::newRow("zero") << 0 << QStringList();
    QTest::newRow("two") << 2 << QStringList{"Action 0", "Action 1"};
    QTest::newRow("four, the row has three") << 4 << QStringList{"Action 0", "Action 1", "Action 2"};
}

void TestApplicationToast::buttonsFollowActions()
{
    QFETCH(int, actions);
    QFETCH(QStringList, buttons);

    QVERIFY(m_service->showToast(requestWithActions(actions), m_listener) != 0);
    QCOMPARE(visibleButtonTexts(*modulePopups().first()), buttons);
}

void TestApplicationToast::refusedRequestShowsNothing()
{
    QCOMPARE(m_service->showToast({{ToastKeyTitleText, "no type"}}, m_listener), quint64(0));
    QVERIFY(modulePopups().isEmpty());
    const quint64 id = m_service->showToast(plainRequest({"x"}), m_listener);
    QVERIFY(!m_service->updateToast(id, {{ToastKeyTitleText, "no type"}}));
    QCOMPARE(modulePopups().first()->mainTitleText(), QString("Orvex Office"));
}

void TestApplicationToast::hideFadesAndDeletesOnce()
{
    const quint64 id = m_service->showToast(plainRequest({"x"}), m_listener);
    QVERIFY(id != 0);
    QVERIFY(m_service->isToastExist(id));
    QPointer<UmLiteContentDlg> popup = modulePopups().first();
    QSignalSpy destroyed(popup.data(), &QObject::destroyed);

    QVERIFY(m_service->hideToast(id));
    QVERIFY(!m_service->isToastExist(id));
    QVERIFY(!m_service->updateToast(id, plainRequest({"y"})));
    QVERIFY(!m_service->hideToast(id));
    QVERIFY2(popup && popup->isVisible(), "still fading out");

    QTRY_VERIFY(popup.isNull());
    QCOMPARE(destroyed.count(), 1);
    QCOMPARE(m_listener->count(), 0);
}

void TestApplicationToast::buttonClickReportsThenFadesOnce()
{
    const quint64 id = m_service->showToast(requestWithActions(2), m_listener);
    QPointer<UmLiteContentDlg> popup = modulePopups().first();
    QSignalSpy destroyed(popup.data(), &QObject::destroyed);

    QTest::mouseClick(popup->button(UmLiteContentDlg::Btn1), Qt::LeftButton);
    QCOMPARE(m_listener->count(), 1);
    const RecordingListener::Call call = m_listener->calls().first();
    QCOMPARE(call.kind, RecordingListener::Activated);
    QCOMPARE(call.id, id);
    QCOMPARE(call.source, 1);
    QCOMPARE(call.index, qint64(1));
    QCOMPARE(call.action, QString("act-1"));
    QVERIFY(!m_service->isToastExist(id));

    // A second click while fading reports again, but starts no second fade.
    QTest::mouseClick(popup->button(UmLiteContentDlg::Btn0), Qt::LeftButton);
    QTRY_VERIFY(popup.isNull());
    QCOMPARE(destroyed.count(), 1);
}

void TestApplicationToast::heapIsCompactedWhenTheLastPopupIsGone()
{
    const quint64 first = m_service->showToast(requestWithActions(1), m_listener);
    const quint64 second = m_service->showToast(requestWithActions(1), m_listener);
    const QList<QPointer<UmLiteContentDlg>> popups{modulePopups().at(0), modulePopups().at(1)};
    const int before = winsim::control::heapCompactions();

    QVERIFY(m_service->hideToast(first));
    QTRY_VERIFY(popups.at(0).isNull() || popups.at(1).isNull());
    QCoreApplication::processEvents();
    QCOMPARE(winsim::control::heapCompactions(), before); // one still shown

    QVERIFY(m_service->hideToast(second));
    QTRY_VERIFY(popups.at(0).isNull() && popups.at(1).isNull());
    QTRY_COMPARE(winsim::control::heapCompactions(), before + 1);
}

void TestApplicationToast::segmentClickReportsSourceTwo()
{
    const quint64 id = m_service->showToast(clickableRequest(), m_listener);
    QPointer<UmLiteContentDlg> popup = modulePopups().first();
    QVERIFY(QTest::qWaitForWindowExposed(popup.data()));
    QLabel* segment = clickableSegment(*popup);
    QVERIFY(segment);
    QCOMPARE(segment->text(), QString("Ana")); // drawn in full, not elided

    clickThroughWindow(segment);
    QCOMPARE(m_listener->count(), 1);
    const RecordingListener::Call call = m_listener->calls().first();
    QCOMPARE(call.kind, RecordingListener::Activated);
    QCOMPARE(call.id, id);
    QCOMPARE(call.source, 2);
    QCOMPARE(call.index, qint64(0));
    QCOMPARE(call.action, QString("open-profile"));
    QVERIFY(!m_service->isToastExist(id));
    QTRY_VERIFY(popup.isNull());
}

void TestApplicationToast::closeButtonClosesWithOrWithoutListener_data()
{
    QTest::addColumn<bool>("listenerAlive");
    QTest::newRow("listener alive") << true;
    QTest::newRow("listener released") << false;
}

void TestApplicationToast::closeButtonClosesWithOrWithoutListener()
{
    QFETCH(bool, listenerAlive);

    RecordingListener recorder;
    std::shared_ptr<RecordingListener> handle(&recorder, [](RecordingListener*) {});
    const quint64 id = m_service->showToast(requestWithActions(1), handle);
    if (!listenerAlive)
        handle.reset(); // the popup's weak reference expires; the recorder stays readable
    QPointer<UmLiteContentDlg> popup = modulePopups().first();

    QTest::mouseClick(popup->closeButton(), Qt::LeftButton);
    QVERIFY(!m_service->isToastExist(id));
    QTRY_VERIFY(popup.isNull());
    if (!listenerAlive) {
        QCOMPARE(recorder.count(), 0);
        return;
    }
    QCOMPARE(recorder.count(), 1);
    QCOMPARE(recorder.calls().first().kind, RecordingListener::Dismissed);
    QCOMPARE(recorder.calls().first().value, int(ToastDismissalUserCanceled));
}

void TestApplicationToast::releasedListenerMakesClicksDoNothing()
{
    RecordingListener recorder;
    std::shared_ptr<RecordingListener> handle(&recorder, [](RecordingListener*) {});
    const quint64 id = m_service->showToast(clickableRequest(), handle);
    handle.reset();
    UmLiteContentDlg* popup = modulePopups().first();
    QVERIFY(QTest::qWaitForWindowExposed(popup));

    QTest::mouseClick(popup->button(UmLiteContentDlg::Btn0), Qt::LeftButton);
    clickThroughWindow(clickableSegment(*popup));
    QVERIFY2(m_service->isToastExist(id), "the popup stays");
    QCOMPARE(recorder.count(), 0);
}

void TestApplicationToast::expirationTimesOut()
{
    QMap<int, QVariant> request = plainRequest({"x"});
    request[ToastKeyExpiration] = 5000u;
    QElapsedTimer clock;
    clock.start();
    const quint64 id = m_service->showToast(request, m_listener);
    QPointer<UmLiteContentDlg> popup = modulePopups().first();

    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(), 1, 8000);
    QVERIFY(clock.elapsed() >= 4700); // a coarse timer, 5 % early at most
    const RecordingListener::Call call = m_listener->calls().first();
    QCOMPARE(call.kind, RecordingListener::Dismissed);
    QCOMPARE(call.id, id);
    QCOMPARE(call.value, int(ToastDismissalTimedOut));
    QVERIFY(!m_service->isToastExist(id));
    QTRY_VERIFY(popup.isNull());
}

void TestApplicationToast::popupsAreIndependent()
{
    const quint64 first = m_service->showToast(plainRequest({"one"}), m_listener);
    const quint64 second = m_service->showToast(plainRequest({"two"}), m_listener);
    QVERIFY(first != 0 && second != 0 && first != second);
    QCOMPARE(modulePopups().size(), 2);

    QVERIFY(m_service->hideToast(first));
    QTRY_COMPARE(modulePopups().size(), 1);
    QVERIFY(m_service->isToastExist(second));
    QVERIFY(m_service->updateToast(second, plainRequest({"two, updated"})));
}

void TestApplicationToast::destroyingServiceDeletesEverythingSilently()
{
    const quint64 shown = m_service->showToast(requestWithActions(1), m_listener);
    const quint64 fading = m_service->showToast(requestWithActions(1), m_listener);
    QVERIFY(m_service->hideToast(fading));
    QVERIFY(shown != 0);
    QList<QPointer<UmLiteContentDlg>> popups;
    for (UmLiteContentDlg* popup : modulePopups())
        popups << popup;
    QCOMPARE(popups.size(), 2);

    m_module.destroy(m_service);
    m_service = m_module.create(true); // for cleanup()
    for (const QPointer<UmLiteContentDlg>& popup : popups)
        QVERIFY2(popup.isNull(), "deleted at once");
    QCOMPARE(m_listener->count(), 0);
}

void TestApplicationToast::expirationTimer_data()
{
    QTest::addColumn<uint>("expiration");
    QTest::addColumn<bool>("running");

    QTest::newRow("5000") << 5000u << true;
    QTest::newRow("0 never times out") << 0u << false;
    QTest::newRow("huge is capped, not negative") << 0xFFFFFFFFu << true;
}

void TestApplicationToast::expirationTimer()
{
    QFETCH(uint, expiration);
    QFETCH(bool, running);

    QMap<int, QVariant> request = plainRequest({"x"});
    request[ToastKeyExpiration] = expiration;
    ApplicationToastWidget popup;
    popup.initToast(1, m_listener);
    popup.showPopup(parsed(request));
    QCOMPARE(popup.hideTimer().isActive(), running);
    QVERIFY(popup.hideTimer().isSingleShot());
    if (running)
        QVERIFY(popup.hideTimer().interval() > 0);
}

void TestApplicationToast::updateRestartsCountdownAndHidesExtraButtons()
{
    QMap<int, QVariant> request = requestWithActions(3);
    request[ToastKeyExpiration] = 5000u;
    ApplicationToastWidget popup;
    popup.initToast(1, m_listener);
    popup.showPopup(parsed(request));
    // Coarse timers may fire up to 5 % early, so compare with room to spare.
    QTRY_VERIFY(popup.hideTimer().remainingTime() < 4000);

    QMap<int, QVariant> update = requestWithActions(1);
    update[ToastKeyExpiration] = 5000u;
    QVERIFY(popup.updatePopup(parsed(update)));
    QVERIFY(popup.hideTimer().remainingTime() > 4500);
    QCOMPARE(visibleButtonTexts(popup), QStringList{"Action 0"});
    QCOMPARE(popup.actions().size(), 1);

    update[ToastKeyExpiration] = 0u;
    QVERIFY(popup.updatePopup(parsed(update)));
    QVERIFY(!popup.hideTimer().isActive());
}

void TestApplicationToast::timeoutWithReleasedListenerDoesNothing()
{
    ApplicationToastWidget popup;
    popup.initToast(3, m_listener);
    popup.showPopup(parsed(plainRequest({"x"})));
    QSignalSpy closes(&popup, &ApplicationToastWidget::noitfyClose);
    QSignalSpy actions(&popup, &ApplicationToastWidget::notifyAction);

    QVERIFY(QMetaObject::invokeMethod(&popup, "onHideTimerUp", Qt::DirectConnection));
    QCOMPARE(closes.count(), 1);
    QCOMPARE(m_listener->calls().last().value, int(ToastDismissalTimedOut));

    m_listener.reset();
    QVERIFY(QMetaObject::invokeMethod(&popup, "onHideTimerUp", Qt::DirectConnection));
    QVERIFY(QMetaObject::invokeMethod(&popup, "onLineTextClicked", Qt::DirectConnection, Q_ARG(qint64, 0),
                                      Q_ARG(QString, "a")));
    QCOMPARE(closes.count(), 1);
    QCOMPARE(actions.count(), 0);
}

void TestApplicationToast::placement_data()
{
    QTest::addColumn<int>("direction");
    QTest::newRow("left to right") << int(Qt::LeftToRight);
    QTest::newRow("right to left") << int(Qt::RightToLeft);
}

void TestApplicationToast::placement()
{
    QFETCH(int, direction);
    QApplication::setLayoutDirection(Qt::LayoutDirection(direction));

    ApplicationToastWidget popup;
    popup.initToast(1, m_listener);
    popup.showPopup(parsed(requestWithActions(1)));
    QVERIFY(QTest::qWaitForWindowExposed(&popup));

    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    const QMargins m = popup.shadowMargins();
    const int bottomEdge = popup.y() + popup.height() - m.bottom();
    QCOMPARE(bottomEdge, avail.bottom() - 11);
    if (direction == Qt::LeftToRight) {
        // The visible frame ends 11 px before the right edge.
        QCOMPARE(popup.x() + popup.width() - m.right(), avail.right() - 11);
    } else {
        // The same rectangle mirrored: it starts 11 px after the left edge.
        QCOMPARE(popup.x(), avail.left() + 11 + 1);
    }

    // The Latin title starts at the row's leading edge, where its icon is, in
    // either direction: its letters reach within 2 px of that side.
    const QImage title = popup.findChild<QLabel*>("umlite_title")->grab().toImage();
    const int background = qGray(title.pixel(0, 0)); // above the letters
    int inkLeft = title.width();
    int inkRight = -1;
    for (int x = 0; x < title.width(); ++x) {
        for (int y = 0; y < title.height(); ++y) {
            if (qAbs(qGray(title.pixel(x, y)) - background) > 60) {
                inkLeft = qMin(inkLeft, x);
                inkRight = qMax(inkRight, x);
            }
        }
    }
    QVERIFY(inkRight >= 0);
    QVERIFY2(direction == Qt::LeftToRight ? inkLeft <= 2 : title.width() - 1 - inkRight <= 2,
             qPrintable(QString("ink %1..%2 of %3").arg(inkLeft).arg(inkRight).arg(title.width())));

    // Content that grows the popup re-places it with the same rule.
    const int heightBefore = popup.height();
    popup.updatePopup(parsed(plainRequest({"one", "two", "three"})));
    QTRY_VERIFY(popup.height() >= heightBefore);
    QCOMPARE(popup.y() + popup.height() - m.bottom(), avail.bottom() - 11);
}

// On an X display (CTest popup_stacking_x11) the X server's own stacking is
// checked too; elsewhere only what the popup asked of the platform.
void TestApplicationToast::raisedWithoutStayingOnTop()
{
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    ApplicationToastWidget first;
    ApplicationToastWidget second;
    for (ApplicationToastWidget* popup : {&first, &second}) {
        popup->initToast(1, m_listener);
        popup->showPopup(parsed(plainRequest({"x"})));
        QVERIFY(QTest::qWaitForWindowExposed(popup));
    }
    // The placement rule puts the second over the first.
    if (x11)
        QTRY_VERIFY(stackedAbove(second, first));
    QTRY_COMPARE(first.windowOpacity(), 1.0);
    const QRect geometry = first.geometry();

    winsim::control::clearWindowPosCalls();
    first.updatePopup(parsed(plainRequest({"y"})));
    const QVector<winsim::control::WindowPosCall> calls = winsim::control::windowPosCalls();
    QCOMPARE(calls.size(), 2);
    for (int i = 0; i < calls.size(); ++i) {
        QCOMPARE(calls.at(i).window, quintptr(first.windowHandle()->winId()));
        QCOMPARE(calls.at(i).flags, unsigned(SWP_NOSIZE | SWP_NOMOVE));
        QCOMPARE(calls.at(i).insertAfter, reinterpret_cast<qintptr>(i == 0 ? HWND_TOPMOST : HWND_NOTOPMOST));
    }
    if (x11)
        QTRY_VERIFY(stackedAbove(first, second));
    // Raised in place, not re-created: still shown, opaque, where it was.
    QVERIFY(!(first.windowHandle()->flags() & Qt::WindowStaysOnTopHint));
    QVERIFY(first.isVisible());
    QCOMPARE(first.windowOpacity(), 1.0);
    QCOMPARE(first.geometry(), geometry);
}

void TestApplicationToast::skinChangeRestylesOnceAfterTheLoop()
{
    OrvexCloudSkinProxy* proxy = cloudSkinProxy();
    QVERIFY2(proxy, "the add-on built beside the tests is found by the default plug-in folder");
    UmLiteSkin* cloudSkin = proxy->skinObject();
    QVERIFY(cloudSkin);

    CountingPopup popup;
    popup.initToast(1, m_listener);
    popup.showPopup(parsed(plainRequest({"one", "two"})));
    auto* firstLine = qobject_cast<UmLiteLabel*>(popup.contentWidget()->item(1));
    const auto textColor = [](const QWidget* widget) { return widget->palette().color(widget->foregroundRole()); };
    const QColor lightLine = textColor(firstLine);
    auto* title = popup.findChild<QLabel*>("umlite_title");
    const QColor lightTitle = textColor(title);

    cloudSkin->setThemeName("dark");
    QCOMPARE(popup.restyles, 0);
    QCOMPARE(textColor(firstLine), lightLine);

    QTRY_COMPARE(popup.restyles, 1);
    QCoreApplication::processEvents();
    QCOMPARE(popup.restyles, 1);
    QVERIFY2(textColor(title).lightness() > lightTitle.lightness(), "the dialog's own rules follow too");
    QVERIFY2(textColor(firstLine).lightness() > lightLine.lightness(), "lines turn light on the dark theme");

    cloudSkin->setThemeName("light");
    QTRY_COMPARE(popup.restyles, 2);
    QCOMPARE(textColor(firstLine), lightLine);
}

QTEST_MAIN(TestApplicationToast)
#include "tst_applicationtoast.moc"
