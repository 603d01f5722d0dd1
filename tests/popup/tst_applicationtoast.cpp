// Guards what hosts and users see of popups: title, lines, image, buttons, clicks (source, index, action), timeout and
// close reasons, frame size, the corner mirrored right to left, elision, raising without taking the keyboard, fades.
#include "applicationtoastwidget.h"
#include "fifofeeder.h"
#include "isystemnotifytoast.h"
#include "middlelitelabel.h"
#include "modulelibrary.h"
#include "orvexcloudskinproxy.h"
#include "recordinglistener.h"
#include "toastanimationcontroller.h"
#include "toastcontentanimationcontroller.h"
#include "toastcontentwidget.h"
#include "toastlinelabel.h"
#include "toastrequestkey.h"
#include "toastskinresources.h"
#include "umlitecontentdlg.h"
#include "umliteiconwidget.h"
#include "umlitelabel.h"
#include "umlitepushbutton.h"
#include "umlitestyle.h"
#include "umskin.h"

#include <windows.h>
#include <winsim/control.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

namespace {

QMap<int, QVariant> plainRequest(const QStringList& lines)
{
    return {{ToastKeyType, 4}, {ToastKeyTextFields, lines}};
}

QMap<int, QVariant> richRequest(const QStringList& lines)
{
    return {{ToastKeyType, 4}, {ToastKeyTextFields, lines}, {ToastKeyTextFormat, 1}};
}

ToastData parsed(const QMap<int, QVariant>& request)
{
    ToastData data;
    data.parse(request);
    return data;
}

QMap<int, QVariant> requestWithActions(int count)
{
    QStringList actions;
    for (int i = 0; i < count; ++i)
        actions << QString(R"({"text":"Action %1","action":"act-%1"})").arg(i);
    QMap<int, QVariant> request = plainRequest({"File saved", "Budget.xlsx"});
    request[ToastKeyActions] = actions;
    return request;
}

QMap<int, QVariant> clickableRequest()
{
    QMap<int, QVariant> request = richRequest({R"({"fields":[{"text":"Shared by ","click":false},)"
                                               R"({"text":"Ana","action":"open-profile","click":true}]})"});
    request[ToastKeyActions] = QStringList{R"({"text":"Open","action":"open"})", R"({"text":"Later","action":"snooze"})",
                                           R"({"text":"Archive","action":"archive"})"};
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

// The one call a listener heard, in words.
QString heard(const RecordingListener& listener)
{
    if (listener.count() != 1)
        return QString("%1 calls").arg(listener.count());
    const RecordingListener::Call c = listener.calls().first();
    if (c.kind == RecordingListener::Dismissed)
        return QString("dismissed %1 reason %2").arg(c.id).arg(c.value);
    return QString("activated %1 source %2 index %3 action %4").arg(c.id).arg(c.source).arg(c.index).arg(c.action);
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

QSharedPointer<ToastContentWidget> contentFor(const ToastData& data)
{
    QSharedPointer<ToastContentWidget> content = ToastContentWidget::create(data);
    content->updateContent(data);
    return content;
}

QStringList shownTexts(const ToastContentWidget& content)
{
    QStringList texts;
    for (int key = 1; key <= 3; ++key) {
        auto* label = qobject_cast<UmLiteLabel*>(content.item(key));
        if (label && label->isVisibleTo(const_cast<ToastContentWidget*>(&content)))
            texts << label->text();
    }
    return texts;
}

QStringList segmentTexts(const ToastContentWidget& content, int key)
{
    QStringList texts;
    for (MiddleLiteLabel* label : qobject_cast<ToastLineLabel*>(content.item(key))->segmentLabels()) {
        if (!label->isHidden())
            texts << label->text();
    }
    return texts;
}

} // namespace

class TestApplicationToast : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    // through the module
    void shownAsRequested_data();
    void shownAsRequested();
    void listenerHearsClicksCloseAndTimeout_data();
    void listenerHearsClicksCloseAndTimeout();
    void popupsAreIndependentAndTheLastReturnsTheHeap();

    // on the dialog
    void updateRestartsCountdownAndHidesExtraButtons();
    void longTextsAreElidedAndKeepTheFrame();
    void placement_data();
    void placement();
    void raisedWithoutStayingOnTop();
    void skinFollowsThemeSwitchesAfterTheLoop();

    // the content area and the fades
    void linesFollowUpdates();
    void image_data();
    void image();
    void fades();
    void animationFinishAppliesVisibility_data();
    void animationFinishAppliesVisibility();

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

// Actions past the third reach the kit as their numbers; an enum without a fixed type cannot hold them.
static_assert(std::is_same<std::underlying_type_t<UmLiteContentDlg::BtnType>, int>::value, "BtnType : int");

void TestApplicationToast::shownAsRequested_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<int>("actions");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<QString>("shownTheme");
    QTest::addColumn<QStringList>("buttons");

    QTest::newRow("defaults") << "" << "" << 0 << "Orvex Office" << "ToastApplicationWidgetDlg" << QStringList();
    QTest::newRow("given") << "Sync" << "UmLiteContentDlg" << 2 << "Sync" << "UmLiteContentDlg"
                           << QStringList{"Action 0", "Action 1"};
    QTest::newRow("five actions, the row has three") << "Sync" << "" << 5 << "Sync" << "ToastApplicationWidgetDlg"
                                                     << QStringList{"Action 0", "Action 1", "Action 2"};
}

void TestApplicationToast::shownAsRequested()
{
    QFETCH(QString, title);
    QFETCH(QString, theme);
    QFETCH(int, actions);
    QFETCH(QString, shownTitle);
    QFETCH(QString, shownTheme);
    QFETCH(QStringList, buttons);

    QMap<int, QVariant> request = requestWithActions(actions);
    if (!title.isEmpty()) { // given with its icon
        request[ToastKeyTitleText] = title;
        request[ToastKeyIconPath] = SNT_TEST_DATA_DIR "/toast-icon.png";
    }
    if (!theme.isEmpty())
        request[ToastKeyThemeClassName] = theme;
    QCOMPARE(m_service->showToast({{ToastKeyTitleText, "no type"}}, m_listener), quint64(0));
    const quint64 id = m_service->showToast(request, m_listener);
    QVERIFY(id != 0);

    QCOMPARE(modulePopups().size(), 1);
    UmLiteContentDlg* popup = modulePopups().first();
    QCOMPARE(popup->mainTitleText(), shownTitle);
    QCOMPARE(popup->findChild<QWidget*>("umlite_title_icon")->isVisible(), !title.isEmpty());
    QCOMPARE(popup->themeClassName(), shownTheme);
    QCOMPARE(visibleButtonTexts(*popup), buttons);
    QVERIFY(popup->isVisible());
    QVERIFY2(!m_service->updateToast(id, {{ToastKeyTitleText, "no type"}}), "a refused update changes nothing");
    QCOMPARE(popup->mainTitleText(), shownTitle);
}

void TestApplicationToast::listenerHearsClicksCloseAndTimeout_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("released"); // the host let go of its listener first
    QTest::addColumn<QString>("heard"); // with "%1" for the id; empty: nothing

    QTest::newRow("second button") << "button" << false << "activated %1 source 1 index 1 action snooze";
    QTest::newRow("third button") << "button 2" << false << "activated %1 source 1 index 2 action archive";
    QTest::newRow("text segment") << "segment" << false << "activated %1 source 2 index 0 action open-profile";
    QTest::newRow("text segment, right button") << "segment right" << false << "";
    QTest::newRow("text segment, released outside") << "segment outside" << false << "";
    QTest::newRow("close button") << "close" << false << "dismissed %1 reason 0";
    QTest::newRow("timeout") << "timeout" << false << "dismissed %1 reason 2";
    QTest::newRow("button, released") << "button" << true << "";
    QTest::newRow("segment, released") << "segment" << true << "";
    QTest::newRow("close button, released") << "close" << true << "";
    QTest::newRow("timeout, released") << "timeout" << true << "";
}

void TestApplicationToast::listenerHearsClicksCloseAndTimeout()
{
    QFETCH(QString, target);
    QFETCH(bool, released);
    QFETCH(QString, heard);

    RecordingListener recorder;
    std::shared_ptr<RecordingListener> handle(&recorder, [](RecordingListener*) {});
    const quint64 id = m_service->showToast(clickableRequest(), handle);
    QPointer<UmLiteContentDlg> popup = modulePopups().first();
    QVERIFY(QTest::qWaitForWindowExposed(popup.data()));
    if (released)
        handle.reset(); // the popup's weak reference expires; the recorder stays readable

    if (target.startsWith("button")) {
        QTest::mouseClick(popup->button(UmLiteContentDlg::BtnType(target.endsWith('2') ? 2 : 1)), Qt::LeftButton);
    } else if (target.startsWith("segment")) {
        QLabel* segment = clickableSegment(*popup);
        QVERIFY2(segment && segment->text() == "Ana", "the clickable segment is shown whole");
        const QPoint at = segment->mapTo(popup, segment->rect().center());
        const Qt::MouseButton button = target.endsWith("right") ? Qt::RightButton : Qt::LeftButton;
        QTest::mousePress(popup->windowHandle(), button, Qt::NoModifier, at);
        QTest::mouseRelease(popup->windowHandle(), button, Qt::NoModifier, target.endsWith("outside") ? QPoint(2, 2) : at);
    } else if (target == "close") {
        QTest::mouseClick(popup->closeButton(), Qt::LeftButton);
    } else {
        QVERIFY(QMetaObject::invokeMethod(popup, "onHideTimerUp"));
    }
    QCOMPARE(::heard(recorder), heard.isEmpty() ? QString("0 calls") : heard.arg(id));

    // What nobody hears leaves the popup, except for the close button.
    const bool closes = !heard.isEmpty() || target == "close";
    QCOMPARE(m_service->isToastExist(id), !closes);
    if (closes) {
        // A click while fading reaches a live listener once more; the service's second hideToast changes nothing.
        QTest::mouseClick(popup->button(UmLiteContentDlg::Btn0), Qt::LeftButton);
        QCOMPARE(recorder.count(), released ? 0 : 2);
        QVERIFY2(!m_service->hideToast(id) && popup && popup->isVisible(), "hidden once, the fade-out goes on");
        QTRY_VERIFY2(popup.isNull(), "deleted once faded out");
    }
}

void TestApplicationToast::popupsAreIndependentAndTheLastReturnsTheHeap()
{
    const quint64 first = m_service->showToast(plainRequest({"one"}), m_listener);
    const quint64 second = m_service->showToast(plainRequest({"two"}), m_listener);
    QVERIFY(first != 0 && second != 0 && first != second);
    QCOMPARE(modulePopups().size(), 2);
    const int compactions = winsim::control::heapCompactions();

    QVERIFY(m_service->hideToast(first));
    QVERIFY(!m_service->updateToast(first, plainRequest({"y"})));
    QTRY_COMPARE(modulePopups().size(), 1);
    QVERIFY(m_service->updateToast(second, plainRequest({"two, updated"})));
    QCOMPARE(shownTexts(*static_cast<ApplicationToastWidget*>(modulePopups().first())->contentWidget()),
             QStringList{"two, updated"});
    QCoreApplication::processEvents();
    QCOMPARE(winsim::control::heapCompactions(), compactions); // one still shown

    QVERIFY(m_service->hideToast(second));
    QTRY_VERIFY(modulePopups().isEmpty());
    QTRY_COMPARE(winsim::control::heapCompactions(), compactions + 1);
    QCOMPARE(m_listener->count(), 0);
}

void TestApplicationToast::updateRestartsCountdownAndHidesExtraButtons()
{
    QMap<int, QVariant> request = requestWithActions(3);
    request[ToastKeyExpiration] = 5000u;
    ApplicationToastWidget popup;
    popup.initToast(1, m_listener);
    popup.showPopup(parsed(request));
    QCOMPARE(popup.hideTimer().interval(), 5000);

    QMap<int, QVariant> update = requestWithActions(1);
    update[ToastKeyExpiration] = 7000u;
    QVERIFY(popup.updatePopup(parsed(update)));
    QVERIFY2(popup.hideTimer().remainingTime() > 5000, "the update restarts the countdown");
    QCOMPARE(visibleButtonTexts(popup), QStringList{"Action 0"});

    update[ToastKeyExpiration] = 0u;
    QVERIFY(popup.updatePopup(parsed(update)));
    QVERIFY2(!popup.hideTimer().isActive(), "0 never times out");
    update[ToastKeyExpiration] = 0xFFFFFFFFu;
    QVERIFY(popup.updatePopup(parsed(update)));
    QVERIFY2(popup.hideTimer().isActive() && popup.hideTimer().interval() > 0, "huge is capped, not negative");
    update[ToastKeyExpiration] = 300u;
    QVERIFY(popup.updatePopup(parsed(update)));
    QVERIFY2(QSignalSpy(&popup, &ApplicationToastWidget::noitfyClose).wait(30000), "the countdown ends in a close");
    QCOMPARE(m_listener->calls().last().value, int(ToastDismissalTimedOut));
}

void TestApplicationToast::longTextsAreElidedAndKeepTheFrame()
{
    const QString title = QString("Quarterly budget review for the northern region ").repeated(3);
    const QString caption = QString("Open the shared document in the editor and review all edits.");
    QMap<int, QVariant> request = plainRequest({"Quarterly budget review for the northern region, final figures.xlsx"});
    request[ToastKeyTitleText] = title;
    request[ToastKeyActions] = QStringList{QString(R"({"text":"%1","action":"open"})").arg(caption),
                                           R"({"text":"Copy link","action":"copy"})"};
    ApplicationToastWidget popup;
    popup.initToast(1, m_listener);
    popup.showPopup(parsed(request));
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    QCOMPARE(popup.size().shrunkBy(popup.shadowMargins()), UmLiteStyle::dpiScaledSize(438, 186)); // not widened

    const QString drawnTitle = popup.findChild<QLabel*>("umlite_title")->QLabel::text();
    QVERIFY2(drawnTitle.endsWith(QChar(0x2026)) && drawnTitle.size() < title.size(), qPrintable(drawnTitle));
    // File names keep their start and their type.
    const QString drawnLine = qobject_cast<UmLiteLabel*>(popup.contentWidget()->item(1))->QLabel::text();
    QVERIFY2(QRegularExpression("^Quar.*\u2026.*xlsx$").match(drawnLine).hasMatch(), qPrintable(drawnLine));
    // The long caption gives way, its full text in the tooltip; the short one stays whole, inside the frame.
    auto* open = qobject_cast<UmLitePushButton*>(popup.button(UmLiteContentDlg::Btn0));
    auto* copy = qobject_cast<UmLitePushButton*>(popup.button(UmLiteContentDlg::Btn1));
    QVERIFY2(open->shownText().endsWith(QChar(0x2026)) && caption.startsWith(open->shownText().chopped(1)),
             qPrintable(open->shownText()));
    QCOMPARE(open->toolTip(), caption);
    QCOMPARE(copy->shownText(), QString("Copy link"));
    const QRect frame = popup.findChild<QFrame*>("umlite_frame")->geometry();
    QVERIFY2(frame.contains(copy->mapTo(&popup, copy->rect().bottomRight())), "the button row stays inside the frame");
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
    popup.showPopup(parsed(plainRequest({"one", "two"})));
    QVERIFY(QTest::qWaitForWindowExposed(&popup));

    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    const QMargins m = popup.shadowMargins();
    QCOMPARE(popup.size().shrunkBy(m), UmLiteStyle::dpiScaledSize(438, 186)); // two lines need less than the frame
    QCOMPARE(popup.y() + popup.height() - m.bottom(), avail.bottom() - 11);
    if (direction == Qt::LeftToRight) {
        // The visible frame ends 11 px before the right edge.
        QCOMPARE(popup.x() + popup.width() - m.right(), avail.right() - 11);
    } else {
        // The same rectangle mirrored: it starts 11 px after the left edge.
        QCOMPARE(popup.x(), avail.left() + 11 + 1);
    }

    // A third line fits in the frame the kit keeps, and the popup keeps its corner.
    QVERIFY(popup.updatePopup(parsed(plainRequest({"one", "two", "three"}))));
    QCOMPARE(shownTexts(*popup.contentWidget()), (QStringList{"one", "two", "three"}));
    QWidget* const third = popup.contentWidget()->item(3);
    QTRY_VERIFY2(popup.rect().marginsRemoved(m).contains(QRect(third->mapTo(&popup, QPoint()), third->size())),
                 "line 3 is cut off");
    QCOMPARE(popup.y() + popup.height() - m.bottom(), avail.bottom() - 11);
}

// On an X display (CTest popup_stacking_x11) the X server's own stacking is
// checked too; elsewhere only what the popup asked of the platform.
void TestApplicationToast::raisedWithoutStayingOnTop()
{
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    // The document being typed in keeps the keyboard.
    QLineEdit document;
    document.show();
    document.activateWindow();
    QTRY_VERIFY(document.hasFocus());
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
    const Qt::WindowFlags kept = Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    QCOMPARE(first.windowFlags() & (Qt::WindowType_Mask | kept), Qt::ToolTip | kept);

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
    QCoreApplication::processEvents();
    QVERIFY2(document.hasFocus() && QApplication::activeWindow() == &document, "a popup took the keyboard");
}

void TestApplicationToast::skinFollowsThemeSwitchesAfterTheLoop()
{
    OrvexCloudSkinProxy* proxy = cloudSkinProxy();
    QVERIFY2(proxy, "the add-on built beside the tests is found by the default plug-in folder");
    UmLiteSkin* cloudSkin = proxy->skinObject();
    QVERIFY(cloudSkin);

    ApplicationToastWidget popup;
    popup.initToast(1, m_listener);
    popup.showPopup(parsed(plainRequest({"one", "two"})));
    const auto textColor = [](const QWidget* widget) { return widget->palette().color(widget->foregroundRole()); };
    QWidget* firstLine = popup.contentWidget()->item(1);
    const QColor lightLine = textColor(firstLine);
    auto* title = popup.findChild<QLabel*>("umlite_title");
    const QColor lightTitle = textColor(title);

    cloudSkin->setThemeName("dark");
    QCOMPARE(textColor(firstLine), lightLine); // the skin finishes switching first
    QTRY_VERIFY2(textColor(firstLine).lightness() > lightLine.lightness(), "lines turn light on the dark theme");
    QVERIFY2(textColor(title).lightness() > lightTitle.lightness(), "the dialog's own rules follow too");

    cloudSkin->setThemeName("light");
    QTRY_COMPARE(textColor(firstLine), lightLine);
}

void TestApplicationToast::linesFollowUpdates()
{
    const QString first = R"({"fields":[{"text":"Report ","click":false},{"text":"Q3 figures","click":true},)"
                          R"({"text":" is ready","click":false}]})";
    const QString second = R"({"fields":[{"text":"Shared by ","click":false},{"text":"Ana","click":true}]})";
    const QSharedPointer<ToastContentWidget> content = contentFor(parsed(plainRequest({"", "two", "three"})));
    QCOMPARE(shownTexts(*content), (QStringList{"", "two", "three"})); // an empty text is still a line
    for (int key = 1; key <= 3; ++key) {
        auto* label = qobject_cast<MiddleLiteLabel*>(content->item(key));
        QVERIFY2(label && label->testAttribute(Qt::WA_TransparentForMouseEvents), "plain lines take no clicks");
        QCOMPARE(label->getThemeClassName(), QString("Toast_Content_Label_Of_%1").arg(key));
    }
    const QPointer<QWidget> firstPlain = content->item(1), lastPlain = content->item(3);
    QSignalSpy clicks(content.data(), &ToastContentWidget::sigLineTextClicked);

    content->updateContent(parsed(richRequest({first, second})));
    QVERIFY2(firstPlain.isNull() && lastPlain.isNull(), "plain labels are deleted when the lines turn rich");
    QCOMPARE(segmentTexts(*content, 1), (QStringList{"Report ", "Q3 figures", " is ready"}));
    QCOMPARE(segmentTexts(*content, 2), (QStringList{"Shared by ", "Ana"}));
    QVERIFY2(content->item(3)->isHidden(), "no third line");
    auto* line = qobject_cast<ToastLineLabel*>(content->item(2));
    QCOMPARE(line->lineIndex(), qint64(1));
    QCOMPARE(line->getThemeClassName(), QString("Toast_Content_Label_Of_2"));
    // The new lines are wired: a segment click reaches the area's signal.
    emit line->segmentLabels().at(1)->labelClicked();
    QCOMPARE(clicks.count(), 1);

    content->updateContent(parsed(richRequest({R"({"fields":[{"text":"Done","click":true}]})"})));
    QCOMPARE(segmentTexts(*content, 1), QStringList{"Done"});
    // A line that is no JSON is dropped: line 1 hides and keeps what it had.
    content->updateContent(parsed(richRequest({"not json"})));
    QVERIFY(content->item(1)->isHidden());
    QCOMPARE(segmentTexts(*content, 1), QStringList{"Done"});

    content->updateContent(parsed(plainRequest({"back"})));
    QCOMPARE(shownTexts(*content), QStringList{"back"});
}

void TestApplicationToast::image_data()
{
    QTest::addColumn<QString>("imagePath");
    QTest::addColumn<QString>("heroPath");
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("shownSize"); // empty: hidden
    QTest::addColumn<QColor>("color");

    const QColor generic("#8a8f98");
    QTest::newRow("a file, 0x0 falls back to 64") << SNT_TEST_DATA_DIR "/popup-red.png" << "" << QSize(0, 0) << QSize(64, 64)
                                                  << QColor(220, 20, 20);
    QTest::newRow("ico of the skin, one side 0") << "/nowhere/Orvex.ICO" << "" << QSize(48, 0) << QSize(64, 64)
                                                 << QColor("#2e9e4f");
    QTest::newRow("hero wins, by file type") << "toast_info" << ".pdf" << QSize(16, 24) << QSize(16, 24)
                                             << QColor("#d93025");
    QTest::newRow("named skin icon") << "toast_info" << "" << QSize(32, 32) << QSize(32, 32) << QColor("#1a73e8");
    QTest::newRow("unknown name: generic file icon") << "no_such_icon" << "" << QSize(32, 32) << QSize(32, 32) << generic;
    // Not regular files: counted as missing, never read (a FIFO would block, a device feed for good).
    QTest::newRow("a FIFO: generic file icon") << "fifo" << "" << QSize(32, 32) << QSize(32, 32) << generic;
    QTest::newRow("a device: generic file icon") << "/dev/zero" << "" << QSize(32, 32) << QSize(32, 32) << generic;
    QTest::newRow("hero a FIFO: generic file icon") << "toast_info" << "fifo" << QSize(32, 32) << QSize(32, 32) << generic;
    QTest::newRow("no path hides the image") << "" << "" << QSize(32, 32) << QSize() << generic;
}

void TestApplicationToast::image()
{
    QFETCH(QString, imagePath);
    QFETCH(QString, heroPath);
    QFETCH(QSize, requested);
    QFETCH(QSize, shownSize);
    QFETCH(QColor, color);

    // Red if read, to tell it from the generic icon.
    QFile red(SNT_TEST_DATA_DIR "/popup-red.png");
    QVERIFY(red.open(QIODevice::ReadOnly));
    FifoFeeder fifo(QStringLiteral("image.png"), red.readAll());
    QVERIFY(fifo.isValid());
    QMap<int, QVariant> request = plainRequest({"x"});
    request[ToastKeyImagePath] = imagePath == "fifo" ? fifo.path() : imagePath;
    request[ToastKeyHeroImagePath] = heroPath == "fifo" ? fifo.path() : heroPath;
    request[ToastKeyImageSize] = requested;
    const QSharedPointer<ToastContentWidget> content = contentFor(parsed(request));

    auto* image = qobject_cast<UmLiteIconWidget*>(content->item(0));
    QVERIFY(image);
    QCOMPARE(image->isHidden(), shownSize.isEmpty());
    if (!shownSize.isEmpty())
        QCOMPARE(image->iconSize(), UmLiteStyle::dpiScaledSize(shownSize));
    // At 20 % from the left, half way down, of the icon drawn at 64 px.
    const QColor got = image->icon().pixmap(QSize(64, 64)).toImage().scaled(64, 64).pixelColor(12, 32);
    const int distance = qAbs(got.red() - color.red()) + qAbs(got.green() - color.green()) + qAbs(got.blue() - color.blue());
    QVERIFY2(distance < 48 && got.alpha() > 200, qPrintable(got.name(QColor::HexArgb)));
    QVERIFY(!fifo.wasOpened());
}

// A fade-in is not restarted; a fade-out started during it still ends once, at opacity 0.
void TestApplicationToast::fades()
{
    ApplicationToastWidget popup;
    popup.initToast(7, {});
    ToastAnimationController controller;
    QList<qreal> opacityAtFinish;
    connect(&popup, &ApplicationToastWidget::notifyHideAnimationFinish, this, [&](quint64 id) {
        QCOMPARE(id, quint64(7));
        opacityAtFinish << popup.windowOpacity();
    });
    controller.startShowAnimation(&popup);
    QVERIFY(popup.isVisible());
    popup.setWindowOpacity(0.5); // part way, whatever the machine's speed
    controller.startShowAnimation(&popup);
    QVERIFY2(popup.windowOpacity() > 0.4, "a restart would have put the opacity back to 0");
    QCOMPARE(controller.findChildren<QPropertyAnimation*>().size(), 1);

    controller.startHideAnimation(&popup);
    for (const QPropertyAnimation* fade : controller.findChildren<QPropertyAnimation*>())
        QCOMPARE(fade->duration(), 200);
    QTRY_COMPARE(opacityAtFinish.size(), 1);
    QTRY_VERIFY2(controller.findChildren<QPropertyAnimation*>().isEmpty(), "the fades delete themselves");
    QCOMPARE(opacityAtFinish, QList<qreal>{0.0});
    controller.startShowAnimation(nullptr);
    QVERIFY(controller.findChildren<QPropertyAnimation*>().isEmpty());
}

void TestApplicationToast::animationFinishAppliesVisibility_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<bool>("shown");
    // The line reads the end state from itself, the image from its animation;
    // the other object carries the opposite value.
    QTest::newRow("second line ends hidden") << 2 << QByteArray("onTextAnimationFinish()") << false;
    QTest::newRow("image ends shown") << 0 << QByteArray("onImageAnimationFinish()") << true;
}

void TestApplicationToast::animationFinishAppliesVisibility()
{
    QFETCH(int, key);
    QFETCH(QByteArray, slot);
    QFETCH(bool, shown);
    const QSharedPointer<ToastContentWidget> content = contentFor(parsed(plainRequest({"a", "b"})));
    ToastContentAnimationController* controller = content->animationController().get();
    QWidget* item = content->item(key);
    QCOMPARE(item->isHidden(), shown);

    QTimer animation; // stands in for a content animation: it only has to be the sender
    animation.setProperty("labelIndex", key);
    item->setProperty("labelIndex", key);
    animation.setProperty("animationType", key == 0 ? shown : !shown);
    item->setProperty("animationType", key == 0 ? !shown : shown);
    controller->trackAnimation(key, &animation);
    const QMetaObject* meta = controller->metaObject();
    QObject::connect(&animation, animation.metaObject()->method(animation.metaObject()->indexOfSignal("timeout()")),
                     controller, meta->method(meta->indexOfSlot(slot.constData())));
    emit animation.timeout({});

    QVERIFY2(item->isHidden() != shown, "the item takes the visibility its animation ends with");
    QVERIFY(!controller->isTracking(key));
}

QTEST_MAIN(TestApplicationToast)
#include "tst_applicationtoast.moc"
