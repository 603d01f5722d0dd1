#include "applicationtoastwidget.h"

#include "isystemnotifytoastlistener.h"
#include "orvexcloudskinproxy.h"
#include "toastaccessibility.h"
#include "toastanimationcontroller.h"
#include "toastcontentwidget.h"
#include "toasticon.h"
#include "toastmodulecontext.h"
#include "toastskinresources.h"
#include "umlitestyle.h"
#include "umlitewidget.h"
#include "umrtlhelper.h"
#include "umskin.h"

// Windows' own min/max macros would break std::numeric_limits<T>::max() and
// std::min/std::max; the rarely used parts of the API are left out.
#include "windowsapi.h"

#include <QApplication>
#include <QBoxLayout>
#include <QScreen>
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
#include <QDesktopWidget>
#endif
#include <QWindow>

#include <limits>

namespace {

const char k_defaultThemeClass[] = "ToastApplicationWidgetDlg";
const char k_defaultTitle[] = "Orvex Office";

int scaled(double value)
{
    return int(UmLiteStyle::dpiScaled(value));
}

// Qt 6 has no desktop object; an application without screens is the same case.
bool hasDesktop()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return QApplication::desktop() != nullptr;
#else
    return QGuiApplication::primaryScreen() != nullptr;
#endif
}

// Wayland windows have no position on the screen; a popup is placed only as a
// popup surface of another window of the process.
bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool isMainKind(const QWindow* window)
{
    return window->type() == Qt::Window || window->type() == Qt::Dialog;
}

// The host's active window, or else any of its shown windows; a menu or tool
// tip of the host stands for the window it belongs to.
QWindow* hostWindow()
{
    QWindow* window = QGuiApplication::focusWindow();
    while (window && !isMainKind(window))
        window = window->transientParent();
    // A window on its way out may still hold the focus.
    if (window && window->isVisible())
        return window;
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow* candidate : windows) {
        if (candidate->isVisible() && isMainKind(candidate))
            return candidate;
    }
    return nullptr;
}

} // namespace

ApplicationToastWidget::ApplicationToastWidget()
    : UmLiteContentDlg(nullptr, 0)
    , m_animationController(std::make_shared<ToastAnimationController>())
{
    installToastAccessibility();
    setWindowFlag(Qt::ToolTip, true);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    applyThemeClass(k_defaultThemeClass, false);
    setModal(false);
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &ApplicationToastWidget::onHideTimerUp);
}

ApplicationToastWidget::~ApplicationToastWidget()
{
    m_hideTimer.stop();
    m_contentWidget.reset();
}

void ApplicationToastWidget::initToast(quint64 id, const std::weak_ptr<ISystemNotifyToastListener>& listener)
{
    m_toastId = id;
    m_listener = listener;
    ensureButton(Btn0);
    ensureButton(Btn1);
    ensureButton(Btn2);

    m_contentContainer = new UmLiteWidget(this);
    setCustomFrameSize(UmLiteStyle::dpiScaledSize(438, 186));
    m_contentContainer->setFixedWidth(scaled(390));
    m_contentLayout = new QBoxLayout(QBoxLayout::LeftToRight, m_contentContainer);
    m_contentLayout->setContentsMargins(UmLiteStyle::dpiScaledMargins(QMargins(0, 0, 0, 0)));
    setCustomContentWidget(m_contentContainer, -1, Qt::Alignment());

    OrvexCloudSkinProxy* proxy = cloudSkinProxy();
    UmLiteSkin* skin = proxy ? proxy->skinObject() : nullptr;
    // Queued: the skin finishes switching before the popup restyles.
    if (skin)
        connect(skin, &UmLiteSkin::skinChanged, this, &ApplicationToastWidget::changeStyle, Qt::QueuedConnection);
}

void ApplicationToastWidget::showPopup(const ToastData& data)
{
    m_contentWidget = ToastContentWidget::create(data);
    connect(m_contentWidget.data(), &ToastContentWidget::sigLineTextClicked, this,
            &ApplicationToastWidget::onLineTextClicked);
    if (m_contentLayout)
        m_contentLayout->addWidget(m_contentWidget.data());
    applyToastData(data);
    if (onWayland())
        attachToHostWindow();
    m_animationController->startShowAnimation(this);
    announceToastPopup(this);
    bringToFront();
}

bool ApplicationToastWidget::updatePopup(const ToastData& data)
{
    applyToastData(data);
    announceToastPopup(this);
    bringToFront();
    return true;
}

void ApplicationToastWidget::startHide()
{
    m_animationController->startHideAnimation(this);
}

void ApplicationToastWidget::attachToHostWindow()
{
    m_hostWindow = hostWindow();
    if (!m_hostWindow)
        return; // the compositor places a window that has no parent
    // The role of the surface is fixed when it is first shown: the parent
    // goes on the window just before that, after the kit has settled the
    // window's widget parent (which would otherwise name the transient parent),
    // and never as a widget parent, which would tie the popup's life to the
    // host's window.
    winId();
    if (QWindow* window = windowHandle())
        window->setTransientParent(m_hostWindow);
    // The compositor takes a popup surface down with its parent; the service
    // would go on claiming a popup nobody sees.
    connect(m_hostWindow, &QWindow::visibleChanged, this, &ApplicationToastWidget::onHostWindowVisibleChanged);
    connect(m_hostWindow, &QObject::destroyed, this, &ApplicationToastWidget::onHostWindowGone);
}

void ApplicationToastWidget::onHostWindowVisibleChanged(bool visible)
{
    if (!visible)
        onHostWindowGone();
}

// Moves the popup to another window of the host, or to none, and keeps it on
// screen; its timer runs on untouched.
void ApplicationToastWidget::onHostWindowGone()
{
    if (m_hostWindow)
        disconnect(m_hostWindow, nullptr, this, nullptr);
    m_hostWindow = nullptr;
    if (!isVisible())
        return;
    // A shown popup surface keeps its parent: it is taken down and made anew.
    hide();
    if (QWindow* window = windowHandle())
        window->setTransientParent(nullptr);
    attachToHostWindow();
    placeInCorner();
    show();
}

void ApplicationToastWidget::activate()
{
    // Qt refuses (with a warning) to activate a window that takes no focus,
    // which this popup is unless a subclass changed its flags.
    if (!(windowFlags() & Qt::WindowDoesNotAcceptFocus))
        activateWindow();
}

void ApplicationToastWidget::bringToFront()
{
    // The window's own id: QWidget keeps the first one, which some platforms
    // replace when they show a tooltip window.
    const QWindow* window = windowHandle();
    HWND handle = window && window->handle() ? reinterpret_cast<HWND>(window->winId()) : nullptr;
    if (!handle) {
        activate();
        return;
    }
    // Topmost and back: above every window, topmost ones included, without staying there.
    SetWindowPos(handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    activate();
    SetWindowPos(handle, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void ApplicationToastWidget::applyToastData(const ToastData& data)
{
    ToastModuleContext* context = ToastModuleContext::instance();
    for (const QString& file : data.rccSources())
        context->registerRccSource(file);

    const QString themeClass = data.themeClassName();
    setThemeClassName(themeClass.isEmpty() ? QString(k_defaultThemeClass) : themeClass);
    setMainTitleIcon(loadToastIcon(data.iconPath()));
    const QString title = data.titleText();
    setMainTitleText(title.isEmpty() ? QString(k_defaultTitle) : title);
    describeForAssistiveTechnologies(data);

    setButtonVisible(Btn0, false);
    setButtonVisible(Btn1, false);
    setButtonVisible(Btn2, false);
    m_actions = data.actions();
    for (int i = 0; i < m_actions.size(); ++i) {
        setButtonText(BtnType(i), m_actions.at(i).text);
        setButtonVisible(BtnType(i), true);
    }

    m_hideTimer.stop();
    if (data.expiration() != 0)
        m_hideTimer.start(int(qMin<quint32>(data.expiration(), quint32(std::numeric_limits<int>::max()))));

    if (m_contentWidget) {
        m_contentWidget->updateContent(data);
        updateFrameSize();
        updateFixedHeight();
    }
}

// Each report may end with the host updating, hiding or deleting this popup
// (the service with it): the listener gets copies, and the service hears of
// the outcome only from a popup that is still there.
void ApplicationToastWidget::onActionButtonClicked(int index)
{
    const std::shared_ptr<ISystemNotifyToastListener> listener = m_listener.lock();
    if (!listener || index < 0 || index >= m_actions.size())
        return;
    const quint64 id = m_toastId;
    const QString action = m_actions.at(index).action;
    const QPointer<ApplicationToastWidget> alive(this);
    listener->onToastActivated(id, 1, qint64(index), action);
    if (alive)
        emit notifyAction(id);
}

void ApplicationToastWidget::onButton0Clicked()
{
    onActionButtonClicked(0);
}

void ApplicationToastWidget::onButton1Clicked()
{
    onActionButtonClicked(1);
}

void ApplicationToastWidget::onButton2Clicked()
{
    onActionButtonClicked(2);
}

void ApplicationToastWidget::onLineTextClicked(qint64 lineIndex, QString action)
{
    const std::shared_ptr<ISystemNotifyToastListener> listener = m_listener.lock();
    if (!listener)
        return;
    const quint64 id = m_toastId;
    const QPointer<ApplicationToastWidget> alive(this);
    listener->onToastActivated(id, 2, lineIndex, action);
    if (alive)
        emit notifyAction(id);
}

void ApplicationToastWidget::onHideTimerUp()
{
    const std::shared_ptr<ISystemNotifyToastListener> listener = m_listener.lock();
    if (!listener)
        return;
    const quint64 id = m_toastId;
    const QPointer<ApplicationToastWidget> alive(this);
    listener->onToastDismissed(id, 2);
    if (alive)
        emit noitfyClose(id);
}

void ApplicationToastWidget::onCloseButtonClicked()
{
    const quint64 id = m_toastId;
    const QPointer<ApplicationToastWidget> alive(this);
    if (const std::shared_ptr<ISystemNotifyToastListener> listener = m_listener.lock())
        listener->onToastDismissed(id, 0);
    if (alive)
        emit noitfyClose(id);
}

void ApplicationToastWidget::onHideAnimationFinish()
{
    // Faded out: a time-out now would report a toast nobody sees any more.
    m_hideTimer.stop();
    emit notifyHideAnimationFinish(m_toastId);
}

void ApplicationToastWidget::resizeEvent(QResizeEvent* event)
{
    placeInCorner();
    UmLiteContentDlg::resizeEvent(event);
}

void ApplicationToastWidget::placeInCorner()
{
    // On Wayland the corner is the host window's: a maximised host puts it
    // in the screen's corner.
    const QWindow* host = onWayland() ? m_hostWindow.data() : nullptr;
    if (onWayland() ? host != nullptr : hasDesktop()) {
        const QMargins m = shadowMargins();
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect avail = host ? host->geometry() : screen ? screen->availableGeometry() : QRect();
        const int mx = scaled(11);
        const int my = scaled(11);
        const int w = width() - m.right();
        const int h = height() - m.bottom();
        const QRect rect(avail.right() - w - mx, avail.bottom() - h - my, w, h);
        // Only the position changes: the kit's fixed sizes hold the window's size.
        const QRect visual = UmRTLHelper::toVisualRect(avail, rect, UmRTLHelper::layoutDirection());
        QPoint at = visual.topLeft();
        if (host) {
            // The shadow reaches a few pixels past the corner; a popup surface
            // that leaves the output is flipped above its anchor by some
            // compositors, so there the whole window stays inside.
            at.setX(qMin(at.x(), avail.right() + 1 - width()));
            at.setY(qMin(at.y(), avail.bottom() + 1 - height()));
        }
        move(at);
    }
}

void ApplicationToastWidget::changeStyle()
{
    UmLiteContentDlg::changeStyle();
    if (m_contentWidget)
        m_contentWidget->refreshTheme();
    update();
}

// The whole texts of the request, whatever the popup shows elided.
void ApplicationToastWidget::describeForAssistiveTechnologies(const ToastData& data)
{
    QStringList lines;
    for (int i = 0; i < data.textFieldCount(); ++i)
        lines << data.textField(i);
    QString name = data.titleText();
    if (name.isEmpty())
        name = lines.isEmpty() ? QString(k_defaultTitle) : lines.first();
    setAccessibleName(name);
    setAccessibleDescription(lines.join(QLatin1Char('\n')));
}
