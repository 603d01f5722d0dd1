// Guards popups in a Wayland session (scripts/with-sway.sh), the module loaded by file name by a host window: placed
// in the host window's corner, a fade that neither warns nor ends short of the popup's deletion, and a popup that
// stays on screen when the window it is attached to goes.
#include <isystemnotifytoast.h>
#include <isystemnotifytoastlistener.h>
#include <systemnotifytoastexports.h>
#include <toastrequestkey.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLibrary>
#include <QMainWindow>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

// with-sway.sh paints the output in this colour; the host window too, so
// that whatever else a screenshot holds is the popup.
const QRgb k_background = qRgb(0x20, 0x40, 0x60);
const char k_hostTitle[] = "snt wayland host";
const char k_otherTitle[] = "snt wayland second window";
// The fade-out lasts 200 ms; Qt's animation clock ticks every 16 ms.
const int k_fadeMs = 200 - 16;

QStringList g_warnings;
QtMessageHandler g_previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << message;
    g_previousHandler(type, context, message);
}

// A dismissal's reason, -1 for anything else: a popup the host hides tells it nothing.
class Listener : public ISystemNotifyToastListener
{
public:
    void onToastActivated(quint64, int, qint64, const QString&) override { heard << -1; }
    void onToastDismissed(quint64, int reason) override { heard << reason; }
    void onToastFailed(quint64, int) override { heard << -1; }
    QList<int> heard;
};

void paintBackground(QWidget* widget)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(k_background));
    widget->setPalette(palette);
}

QWidget* popupWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto popup = std::find_if(windows.begin(), windows.end(),
                                    [](const QWidget* window) { return window->inherits("ApplicationToastWidget"); });
    return popup == windows.end() ? nullptr : *popup;
}

// Why the popup is not in the host window's bottom corner: the frame ends 11 px inside it, its shadow a little
// further out; mirrored, the shadow's width more.
QString offCorner(const QRect& popup, const QRect& host, bool rightToLeft)
{
    const int side = rightToLeft ? popup.left() - host.left() : host.right() - popup.right();
    const int bottom = host.bottom() - popup.bottom();
    QString why;
    if (side < 0 || side > 30 || bottom < 0 || bottom > 11)
        QDebug(&why) << "popup seen at" << popup << "in a host window at" << host;
    return why;
}

bool isBackground(QRgb pixel)
{
    return qAbs(qRed(pixel) - qRed(k_background)) + qAbs(qGreen(pixel) - qGreen(k_background))
        + qAbs(qBlue(pixel) - qBlue(k_background)) <= 12;
}

} // namespace

class TestWaylandPopup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();
    void shownInTheHostWindowsCorner_data();
    void shownInTheHostWindowsCorner();

private:
    // The popup as the screen shows it: the box around everything that is not
    // background, and the share of it the light frame covers, which it does
    // only once it is (nearly) opaque.
    struct Seen
    {
        QRect box;
        double opaqueShare = 0;
    };
    Seen screenshot();
    static bool sway(const QString& command, const char* title = k_hostTitle);

    QLibrary m_module;
    DeleteSystemNotifyToastFn m_destroy = nullptr;
    ISystemNotifyToast* m_toasts = nullptr;
    quint64 m_shown = 0;
    QMainWindow m_host;
    QTemporaryDir m_shots;
};

void TestWaylandPopup::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName().startsWith(QLatin1String("wayland")),
             qPrintable(QGuiApplication::platformName()));
    QVERIFY2(!qEnvironmentVariableIsEmpty("SWAYSOCK"), "run it through scripts/with-sway.sh");
    m_module.setFileName(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/" SNT_MODULE_NAME));
    auto create = reinterpret_cast<CreateSystemNotifyToastFn>(m_module.resolve("createSystemNotifyToast"));
    m_destroy = reinterpret_cast<DeleteSystemNotifyToastFn>(m_module.resolve("deleteSystemNotifyToast"));
    QVERIFY2(create && m_destroy, qPrintable(m_module.errorString()));
    m_toasts = create(true);
    QVERIFY(m_toasts->init({}));

    auto* central = new QWidget;
    paintBackground(central);
    m_host.setCentralWidget(central);
    m_host.setWindowTitle(QLatin1String(k_hostTitle));
    m_host.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&m_host));
    // Known to the compositor by its title a little later.
    QTRY_VERIFY_WITH_TIMEOUT(sway(QStringLiteral("nop")), 10000);
    QVERIFY(m_shots.isValid());
    g_previousHandler = qInstallMessageHandler(recordWarnings);
}

void TestWaylandPopup::cleanup()
{
    // Whatever a test left on screen goes before the next one looks.
    m_toasts->hideToast(m_shown);
    QTRY_VERIFY_WITH_TIMEOUT(!popupWindow(), 10000);
    const QStringList warnings = std::exchange(g_warnings, {});
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

void TestWaylandPopup::cleanupTestCase()
{
    qInstallMessageHandler(g_previousHandler);
    if (m_toasts)
        m_destroy(m_toasts);
}

TestWaylandPopup::Seen TestWaylandPopup::screenshot()
{
    const QString file = m_shots.filePath(QStringLiteral("shot.ppm"));
    QProcess grim;
    grim.start(QStringLiteral("grim"), {QStringLiteral("-t"), QStringLiteral("ppm"), file});
    if (!grim.waitForFinished(10000) || grim.exitCode() != 0) {
        qWarning("grim failed: %s", grim.readAllStandardError().constData());
        return {};
    }
    const QImage image(file);
    Seen seen;
    int light = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (isBackground(line[x]))
                continue;
            seen.box |= QRect(x, y, 1, 1);
            light += qGray(line[x]) > 235; // the frame is near white when opaque
        }
    }
    if (!seen.box.isEmpty())
        seen.opaqueShare = double(light) / (seen.box.width() * seen.box.height());
    return seen;
}

// A command to the compositor about the host window.
bool TestWaylandPopup::sway(const QString& command, const char* title)
{
    QProcess swaymsg;
    swaymsg.start(QStringLiteral("swaymsg"),
                  {QStringLiteral("[title=\"%1\"] %2").arg(QLatin1String(title), command)});
    return swaymsg.waitForFinished(10000) && swaymsg.exitCode() == 0;
}

void TestWaylandPopup::shownInTheHostWindowsCorner_data()
{
    QTest::addColumn<QRect>("hostRect"); // empty: the whole output
    QTest::addColumn<bool>("rightToLeft");
    QTest::addColumn<int>("attachedTo"); // 0 the host window; else another, then 1 closed or 2 deleted
    QTest::newRow("maximised host") << QRect() << false << 0;
    QTest::newRow("maximised host, right to left") << QRect() << true << 0;
    // Corner of the window, not of the screen: a floating host window.
    QTest::newRow("host window at 100,100") << QRect(100, 100, 800, 600) << false << 0;
    // The popup is attached to whichever host window is active when it shows; that window may go first. The popup
    // must stay on screen, in the host's corner, the service's answers must stay true, and its time-out must come.
    QTest::newRow("its window closed") << QRect() << false << 1;
    QTest::newRow("its window deleted") << QRect() << false << 2;
}

void TestWaylandPopup::shownInTheHostWindowsCorner()
{
    QFETCH(QRect, hostRect);
    QFETCH(bool, rightToLeft);
    QFETCH(int, attachedTo);
    if (hostRect.isEmpty()) {
        QVERIFY(sway(QStringLiteral("floating disable")));
        QTRY_COMPARE_WITH_TIMEOUT(m_host.size(), m_host.screen()->size(), 10000);
    } else {
        QVERIFY(sway(QStringLiteral("floating enable, resize set %1 %2, move position %3 %4")
                         .arg(hostRect.width()).arg(hostRect.height()).arg(hostRect.x()).arg(hostRect.y())));
        QTRY_COMPARE_WITH_TIMEOUT(m_host.size(), hostRect.size(), 10000);
    }
    QPointer<QWidget> other;
    if (attachedTo) {
        other = new QWidget;
        paintBackground(other);
        other->setWindowTitle(QLatin1String(k_otherTitle));
        other->show();
        QVERIFY(QTest::qWaitForWindowExposed(other));
        QTRY_VERIFY_WITH_TIMEOUT(sway("floating enable, resize set 600 400, move position 200 100, focus", k_otherTitle), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::focusWindow() == other->windowHandle(), 10000);
    }
    QGuiApplication::setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    auto listener = std::make_shared<Listener>();
    m_shown = m_toasts->showToast({{ToastKeyType, 1},
                                   {ToastKeyTitleText, QStringLiteral("Orvex Writer")},
                                   {ToastKeyTextFields, QStringList{"Report.docx is ready", "Shared by Ana"}},
                                   {ToastKeyActions, QStringList{R"({"text":"Open","action":"open"})"}},
                                   {ToastKeyExpiration, 8000}},
                                  listener);
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    QVERIFY(m_shown != 0);
    const QPointer<QWidget> popup = popupWindow();
    QVERIFY(popup && popup->windowHandle());
    Seen seen;
    QTRY_VERIFY_WITH_TIMEOUT((seen = screenshot()).opaqueShare > 0.5, 10000);
    if (attachedTo) {
        QCOMPARE(popup->windowHandle()->transientParent(), other->windowHandle());
        if (attachedTo == 2)
            delete other;
        else
            other->close();
        // Once the compositor has let the window go, the popup is in the corner of the host's other window.
        QTRY_VERIFY_WITH_TIMEOUT(!sway(QStringLiteral("nop"), k_otherTitle), 10000);
        QTRY_VERIFY_WITH_TIMEOUT((seen = screenshot()).opaqueShare > 0.5, 10000);
        QVERIFY(popup && popup->isVisible());
        QCOMPARE(popup->windowHandle()->transientParent(), m_host.windowHandle());
    }
    const QRect host = hostRect.isEmpty() ? QRect(QPoint(0, 0), m_host.screen()->size()) : hostRect;
    QVERIFY2(offCorner(seen.box, host, rightToLeft).isEmpty(), qPrintable(offCorner(seen.box, host, rightToLeft)));
    // Nothing but the popup differs from the background.
    QVERIFY(seen.box.width() <= popup->width() && seen.box.height() <= popup->height());
    const QString keep = qEnvironmentVariable("SNT_WAYLAND_SCREENSHOT");
    if (!keep.isEmpty() && QTest::currentDataTag() == QByteArray("maximised host"))
        QImage(m_shots.filePath(QStringLiteral("shot.ppm"))).save(keep);

    if (attachedTo) {
        QVERIFY(m_toasts->isToastExist(m_shown));
        QTRY_COMPARE_WITH_TIMEOUT(listener->heard, QList<int>{2}, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!popup, 10000);
        QVERIFY(!m_toasts->isToastExist(m_shown));
        delete other;
        return;
    }
    // The service deletes the popup when its fade-out has run its course.
    QElapsedTimer fade;
    qint64 deletedAfter = -1;
    connect(popup.data(), &QObject::destroyed, [&] { deletedAfter = fade.elapsed(); });
    fade.start();
    QVERIFY(m_toasts->hideToast(m_shown));
    QTRY_VERIFY_WITH_TIMEOUT(deletedAfter >= 0, 10000);
    QVERIFY2(deletedAfter >= k_fadeMs, qPrintable(QString::number(deletedAfter)));
    QTRY_VERIFY_WITH_TIMEOUT(screenshot().box.isEmpty(), 10000);
    QCOMPARE(listener->heard, QList<int>());
}

QTEST_MAIN(TestWaylandPopup)
#include "tst_waylandpopup.moc"
