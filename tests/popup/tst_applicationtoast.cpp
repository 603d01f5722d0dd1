// Guards what a user sees of popups and does with them: title, image, lines, buttons, elision, time-out, the frame in
// its corner (mirrored right to left), updates, raising without taking the keyboard, the listener's reports, fades,
// the skin's themes. Each row of the call-back table (tst_host) clicks, closes and times popups out too.
#include "applicationtoastwidget.h"
#include "callbackhost.h"
#include "fifofeeder.h"
#include "isystemnotifytoast.h"
#include "modulelibrary.h"
#include "orvexcloudskinproxy.h"
#include "recordinglistener.h"
#include "toastanimationcontroller.h"
#include "toastcontentwidget.h"
#include "toastlinelabel.h"
#include "toastrequestkey.h"
#include "toastskinresources.h"
#include "umlitecontentdlg.h"
#include "umliteiconwidget.h"
#include "umlitepushbutton.h"
#include "umlitestyle.h"
#include "umskin.h"

#include <windows.h>
#include <winsim/control.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPropertyAnimation>
#include <QScreen>
#include <QtTest>

using Request = QMap<int, QVariant>;

namespace {

Request request(const QStringList& lines, Request more = {})
{
    more.insert(ToastKeyType, 4);
    more.insert(ToastKeyTextFields, lines);
    return more;
}

QStringList actions(int count)
{
    QStringList actions;
    for (int i = 0; i < count; ++i)
        actions << QString(R"({"text":"Action %1","action":"act-%1"})").arg(i);
    return actions;
}

ToastData parsed(const Request& request)
{
    ToastData data;
    data.parse(request);
    return data;
}

// The module's popups, by class name: the test's own copy of the class is another one.
QList<ApplicationToastWidget*> modulePopups()
{
    QList<ApplicationToastWidget*> popups;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (QLatin1String(w->metaObject()->className()) == QLatin1String("ApplicationToastWidget"))
            popups << static_cast<ApplicationToastWidget*>(w);
    }
    return popups;
}

// The image's colour a fifth from its left, half way down, drawn at 64 px: the name of the test images' colour it
// is near, or its own.
QString colourName(const QIcon& icon)
{
    const QColor got = icon.pixmap(QSize(64, 64)).toImage().scaled(64, 64).pixelColor(12, 32);
    const QMap<QString, QColor> named{{"red", QColor(220, 20, 20)}, {"green", QColor("#2e9e4f")},
                                      {"pdf red", QColor("#d93025")}, {"blue", QColor("#1a73e8")},
                                      {"grey", QColor("#8a8f98")}};
    for (auto it = named.begin(); it != named.end(); ++it) {
        const QColor& c = it.value();
        const int distance = qAbs(got.red() - c.red()) + qAbs(got.green() - c.green()) + qAbs(got.blue() - c.blue());
        if (got.alpha() > 200 && distance < 48)
            return it.key();
    }
    return got.name(QColor::HexArgb);
}

// What the popup shows, a row each: the title (after "icon" when its icon shows), the image, the lines as drawn
// with clickable segments in <>, the buttons with their tooltips, and the time-out.
QStringList seen(const ApplicationToastWidget& popup)
{
    const bool icon = popup.findChild<QWidget*>("umlite_title_icon")->isVisible();
    QStringList rows{(icon ? "icon " : "") + popup.findChild<QLabel*>("umlite_title")->text()};
    const ToastContentWidget* content = popup.contentWidget();
    if (auto* image = qobject_cast<UmLiteIconWidget*>(content->item(0)); image->isVisibleTo(content)) {
        const QSize size = image->iconSize();
        rows << QString("image %1x%2 %3").arg(size.width()).arg(size.height()).arg(colourName(image->icon()));
    }
    for (QWidget* w : content->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(content))
            continue;
        if (w->inherits("ToastLineLabel")) { // the module's own copy of the class
            QString row;
            for (const QLabel* segment : w->findChildren<QLabel*>()) {
                if (segment->isVisibleTo(content))
                    row += ToastLineLabel::isClickable(segment) ? '<' + segment->text() + '>' : segment->text();
            }
            rows << row;
        } else if (auto* label = qobject_cast<QLabel*>(w); label && !w->parentWidget()->inherits("ToastLineLabel")) {
            rows << label->text(); // as drawn, elided
        }
    }
    for (int i = 0; i < UmLiteContentDlg::ButtonCount; ++i) {
        auto* button = static_cast<UmLitePushButton*>(popup.button(UmLiteContentDlg::BtnType(i)));
        if (!button->isHidden())
            rows << "button " + button->shownText() + (button->toolTip().isEmpty() ? "" : " tip " + button->toolTip());
    }
    if (popup.hideTimer().isActive())
        rows << QString("closes after %1").arg(popup.hideTimer().interval());
    return rows;
}

// Every text, image and button the popup shows lies inside its frame.
bool insideTheFrame(const ApplicationToastWidget& popup)
{
    const QRect frame = popup.findChild<QFrame*>("umlite_frame")->geometry();
    for (QWidget* w : popup.findChildren<QWidget*>()) {
        const bool shown = w->isVisible() && (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)
                                              || qobject_cast<UmLiteIconWidget*>(w));
        if (shown && !frame.contains(QRect(w->mapTo(&popup, QPoint()), w->size())))
            return false;
    }
    return true;
}

} // namespace

class TestApplicationToast : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void shown_data();
    void shown();
    void lastPopupReturnsTheHeap();
    void skinFollowsThemeSwitchesAfterTheLoop();
    void fades();

private:
    ModuleLibrary m_module;
    ISystemNotifyToast* m_service = nullptr;
    QLineEdit m_document; // being typed in: it keeps the keyboard
};

void TestApplicationToast::initTestCase()
{
    QVERIFY2(m_module.isLoaded(), qPrintable(m_module.errorString()));
    registerDefaultRccSources({});
    // The placement checks use the 11 px gap unscaled.
    QCOMPARE(int(UmLiteStyle::dpiScaled(11)), 11);
    m_document.show();
    m_document.activateWindow();
    QTRY_VERIFY(m_document.hasFocus());
}

void TestApplicationToast::init()
{
    m_service = m_module.create(true);
    QVERIFY(m_service && m_service->init({}));
}

void TestApplicationToast::cleanup()
{
    QVERIFY2(m_document.hasFocus() && QApplication::activeWindow() == &m_document, "a popup took the keyboard");
    m_module.destroy(m_service);
    QApplication::setLayoutDirection(Qt::LeftToRight);
    QTRY_VERIFY(modulePopups().isEmpty());
}

// Actions past the third reach the kit as their numbers; an enum without a fixed type cannot hold them.
static_assert(std::is_same<std::underlying_type_t<UmLiteContentDlg::BtnType>, int>::value, "BtnType : int");

// A request shown through the module, maybe updated, and what a user then does: what clickPopup clicks, or
// "timeout"; ", gone" has the host let go of its listener first.
struct Shown
{
    Request request;
    QStringList seen; // a pattern per row of seen(), after the update
    Request update = {};
    QString click = {};
    QStringList heard = {};
    bool rightToLeft = false;
};
Q_DECLARE_METATYPE(Shown)

void TestApplicationToast::shown_data()
{
    QTest::addColumn<Shown>("row");
    const QString report = R"({"fields":[{"text":"Report ","click":false},{"text":"Q3 figures","click":true},)"
                           R"({"text":" is ready","click":false}]})";
    const QString shared = R"({"fields":[{"text":"Shared by ","click":false},)"
                           R"({"text":"Ana","action":"profile","click":true}]})";
    const Request rich{{ToastKeyTextFormat, 1}};
    const Request given{{ToastKeyTitleText, "Sync"}, {ToastKeyIconPath, SNT_TEST_DATA_DIR "/toast-icon.png"},
                        {ToastKeyThemeClassName, "UmLiteContentDlg"}, {ToastKeyActions, actions(2)},
                        {ToastKeyExpiration, 5000u}};
    const QString longTitle = QString("Quarterly budget review for the northern region ").repeated(3);
    const Request longTexts{{ToastKeyTitleText, longTitle},
                            {ToastKeyActions, QStringList{R"({"text":"Open the shared document in the editor and )"
                                                          R"(review all edits.","action":"open"})",
                                                          R"({"text":"Copy link","action":"copy"})"}}};

    QTest::newRow("defaults") << Shown{request({"File saved", "Budget.xlsx"}),
                                       {"Orvex Office", "File saved", "Budget.xlsx"}};
    QTest::newRow("given") << Shown{request({"File saved"}, given), {"icon Sync", "File saved", "button Action 0",
                                                                     "button Action 1", "closes after 5000"}};
    QTest::newRow("five actions, the row has three")
        << Shown{request({"x"}, {{ToastKeyActions, actions(5)}}),
                 {"Orvex Office", "x", "button Action 0", "button Action 1", "button Action 2"}, {}, "button 2",
                 {"activated 1 2 act-2"}};
    // File names keep their start and their type; a long caption gives way, whole in its tooltip.
    QTest::newRow("long texts elided")
        << Shown{request({"Quarterly budget review for the northern region, final figures.xlsx"}, longTexts),
                 {"Quarterly budget review for the.*…", "Quar.*….*xlsx",
                  "button Open the shared.*… tip Open the shared document in the editor and review all edits.",
                  "button Copy link"}};
    QTest::newRow("a third line, right to left") << Shown{request({"one", "two"}),
                                                          {"Orvex Office", "one", "two", "three"},
                                                          request({"one", "two", "three"}), {}, {}, true};
    QTest::newRow("fewer buttons, a new countdown")
        << Shown{request({"x"}, {{ToastKeyActions, actions(3)}, {ToastKeyExpiration, 5000u}}),
                 {"Orvex Office", "y", "button Action 0", "closes after 7000"},
                 request({"y"}, {{ToastKeyActions, actions(1)}, {ToastKeyExpiration, 7000u}})};
    QTest::newRow("a huge time-out is capped") << Shown{request({"x"}, {{ToastKeyExpiration, 0xFFFFFFFFu}}),
                                                        {"Orvex Office", "x", "closes after 2147483647"}};
    QTest::newRow("plain lines turn rich") << Shown{request({"", "two", "three"}),
                                                    {"Orvex Office", "Report <Q3 figures> is ready", "Shared by <Ana>"},
                                                    request({report, shared}, rich)};
    QTest::newRow("a rich line no JSON is left out") << Shown{request({report}, rich),
                                                              {"Orvex Office", "Shared by <Ana>"},
                                                              request({"not json", shared}, rich)};
    QTest::newRow("rich lines turn plain") << Shown{request({report, shared}, rich), {"Orvex Office", "back"},
                                                    request({"back"})};

    // Images: read only from regular files (a FIFO would block, a device feed for good); else a generic file icon.
    const QList<std::tuple<const char*, QString, QString, QSize, QSize, QString>> images{
        {"a file, 0x0 falls back to 64", SNT_TEST_DATA_DIR "/popup-red.png", "", QSize(0, 0), QSize(64, 64), "red"},
        {"ico of the skin, one side 0", "/nowhere/Orvex.ICO", "", QSize(48, 0), QSize(64, 64), "green"},
        {"hero wins, by file type", "toast_info", ".pdf", QSize(16, 24), QSize(16, 24), "pdf red"},
        {"named skin icon", "toast_info", "", QSize(32, 32), QSize(32, 32), "blue"},
        {"unknown name", "no_such_icon", "", QSize(32, 32), QSize(32, 32), "grey"},
        {"a FIFO", "fifo", "", QSize(32, 32), QSize(32, 32), "grey"},
        {"a device", "/dev/zero", "", QSize(32, 32), QSize(32, 32), "grey"},
        {"hero a FIFO", "toast_info", "fifo", QSize(32, 32), QSize(32, 32), "grey"},
        {"no path hides the image", "", "", QSize(32, 32), QSize(), ""},
    };
    for (const auto& [name, image, hero, requested, size, colour] : images) {
        const Request more{{ToastKeyImagePath, image}, {ToastKeyHeroImagePath, hero}, {ToastKeyImageSize, requested}};
        const QSize shown = UmLiteStyle::dpiScaledSize(size);
        QStringList seen{"Orvex Office", "x"};
        if (shown.isValid())
            seen.insert(1, QString("image %1x%2 %3").arg(shown.width()).arg(shown.height()).arg(colour));
        QTest::newRow(name) << Shown{request({"x"}, more), seen};
    }

    // Clicks that report nothing: what nobody hears leaves the popup, except for the close button.
    const Request clickable = request({shared}, {{ToastKeyTextFormat, 1}, {ToastKeyActions, actions(1)}});
    for (const char* click : {"segment, right button", "segment, released outside", "button 0, gone", "segment, gone",
                              "timeout, gone", "close, gone"})
        QTest::newRow(click) << Shown{clickable, {"Orvex Office", "Shared by <Ana>", "button Action 0"}, {}, click};
}

void TestApplicationToast::shown()
{
    QFETCH(Shown, row);
    QApplication::setLayoutDirection(row.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    QFile red(SNT_TEST_DATA_DIR "/popup-red.png");
    QVERIFY(red.open(QIODevice::ReadOnly));
    FifoFeeder fifo(QStringLiteral("image.png"), red.readAll()); // red if read
    for (int key : {ToastKeyImagePath, ToastKeyHeroImagePath}) {
        if (row.request.value(key) == "fifo")
            row.request[key] = fifo.path();
    }
    RecordingListener recorder;
    std::shared_ptr<RecordingListener> listener(&recorder, [](RecordingListener*) {});

    QCOMPARE(m_service->showToast({{ToastKeyTitleText, "no type"}}, listener), quint64(0));
    const quint64 id = m_service->showToast(row.request, listener);
    QCOMPARE(modulePopups().size(), 1);
    ApplicationToastWidget* popup = modulePopups().first();
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QVERIFY2(!m_service->updateToast(id, {{ToastKeyTitleText, "no type"}}), "a refused update changes nothing");
    const Qt::WindowFlags kept = Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    QCOMPARE(popup->windowFlags() & (Qt::WindowType_Mask | kept), Qt::ToolTip | kept);
    if (!row.update.isEmpty()) {
        // Raised in place, without staying on top: not re-created, not faded in again.
        QTRY_COMPARE(popup->windowOpacity(), 1.0);
        const QRect geometry = popup->geometry();
        winsim::control::clearWindowPosCalls();
        QVERIFY(m_service->updateToast(id, row.update));
        const QVector<winsim::control::WindowPosCall> calls = winsim::control::windowPosCalls();
        QCOMPARE(calls.size(), 2);
        for (int i = 0; i < calls.size(); ++i) {
            QCOMPARE(calls.at(i).window, quintptr(popup->windowHandle()->winId()));
            QCOMPARE(calls.at(i).flags, unsigned(SWP_NOSIZE | SWP_NOMOVE));
            QCOMPARE(calls.at(i).insertAfter, reinterpret_cast<qintptr>(i == 0 ? HWND_TOPMOST : HWND_NOTOPMOST));
        }
        QVERIFY(!(popup->windowHandle()->flags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(popup->windowOpacity(), 1.0);
        QCOMPARE(popup->geometry(), geometry);
    }

    const QString pattern = QRegularExpression::anchoredPattern(row.seen.join('\n'));
    const QStringList drawn = seen(*popup);
    QVERIFY2(QRegularExpression(pattern).match(drawn.join('\n')).hasMatch(), qPrintable(drawn.join(" / ")));
    QVERIFY(!fifo.wasOpened());
    const QString theme = row.request.value(ToastKeyThemeClassName, "ToastApplicationWidgetDlg").toString();
    QCOMPARE(popup->themeClassName(), theme);
    // The kit's fixed frame, neither widened by long texts nor shrunk by short ones, 11 px from the corner.
    const QMargins m = popup->shadowMargins();
    QCOMPARE(popup->size().shrunkBy(m), UmLiteStyle::dpiScaledSize(438, 186));
    QTRY_VERIFY2(insideTheFrame(*popup), "something shown is cut off");
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(popup->y() + popup->height() - m.bottom(), avail.bottom() - 11);
    if (row.rightToLeft)
        QCOMPARE(popup->x(), avail.left() + 11 + 1); // the same rectangle mirrored
    else
        QCOMPARE(popup->x() + popup->width() - m.right(), avail.right() - 11);

    if (row.click.isEmpty())
        return;
    if (row.click.endsWith(", gone"))
        listener.reset(); // the popup's weak reference expires; the recorder stays readable
    if (row.click.startsWith("timeout"))
        QVERIFY(QMetaObject::invokeMethod(popup, "onHideTimerUp"));
    else
        QVERIFY(clickPopup(row.click));
    QCOMPARE(recorder.heard(id), row.heard);
    QCOMPARE(m_service->isToastExist(id), row.heard.isEmpty() && !row.click.startsWith("close"));
}

// When the last popup has gone, and only then, the heap gives its free pages back.
void TestApplicationToast::lastPopupReturnsTheHeap()
{
    const quint64 first = m_service->showToast(request({"one"}), {});
    const quint64 second = m_service->showToast(request({"two"}), {});
    QVERIFY(first != 0 && second != 0 && first != second);
    const int compactions = winsim::control::heapCompactions();
    QVERIFY(m_service->hideToast(first));
    QVERIFY(!m_service->hideToast(first) && !m_service->updateToast(first, request({"y"})));
    QTRY_COMPARE(modulePopups().size(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(winsim::control::heapCompactions(), compactions); // one still shown
    QVERIFY(m_service->hideToast(second));
    QTRY_COMPARE(winsim::control::heapCompactions(), compactions + 1);
}

void TestApplicationToast::skinFollowsThemeSwitchesAfterTheLoop()
{
    OrvexCloudSkinProxy* proxy = cloudSkinProxy();
    QVERIFY2(proxy, "the add-on built beside the tests is found by the default plug-in folder");
    UmLiteSkin* cloudSkin = proxy->skinObject();
    QVERIFY(cloudSkin);

    ApplicationToastWidget popup;
    popup.initToast(1, {});
    popup.showPopup(parsed(request({"one", "two"})));
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

// A fade-out started during the fade-in ends once, at opacity 0, after 200 ms, and the fades go.
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
    controller.startHideAnimation(&popup);
    for (const QPropertyAnimation* fade : controller.findChildren<QPropertyAnimation*>())
        QCOMPARE(fade->duration(), 200);
    QTRY_COMPARE(opacityAtFinish.size(), 1);
    QTRY_VERIFY2(controller.findChildren<QPropertyAnimation*>().isEmpty(), "the fades delete themselves");
    QCOMPARE(opacityAtFinish, QList<qreal>{0.0});
}

QTEST_MAIN(TestApplicationToast)
#include "tst_applicationtoast.moc"
