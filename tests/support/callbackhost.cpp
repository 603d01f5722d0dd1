#include "callbackhost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

CallbackHost::CallbackHost(ISystemNotifyToast* service, DeleteSystemNotifyToastFn destroy, const QString& op,
                           const QMap<int, QVariant>& request)
    : m_service(service)
    , m_destroy(destroy)
    , m_op(op)
    , m_request(request)
{
}

void CallbackHost::onToastActivated(quint64 toastId, int source, qint64 index, const QString& action)
{
    report(toastId, [&] { return QStringLiteral("activated %1 %2 %3").arg(source).arg(index).arg(action); });
}

void CallbackHost::onToastDismissed(quint64 toastId, int reason)
{
    report(toastId, [&] { return QStringLiteral("dismissed %1").arg(reason); });
}

void CallbackHost::onToastFailed(quint64 toastId, int errorCode)
{
    report(toastId, [&] { return QStringLiteral("failed %1").arg(errorCode); });
}

template<class Line>
void CallbackHost::report(quint64 toastId, Line line)
{
    const int at = heard.size();
    heard << QString();
    ISystemNotifyToast* service = m_service;
    if (service && at < 5) {
        if (m_op == QLatin1String("delete")) {
            m_service = nullptr;
            m_destroy(service);
            answers << "deleted";
        } else if (m_op == QLatin1String("show")) {
            answers << (service->showToast(m_request, {}) != 0 ? "show id" : "show 0");
        } else {
            const bool result = m_op == QLatin1String("update") ? service->updateToast(toast, m_request)
                                : m_op == QLatin1String("hide") ? service->hideToast(toast) : service->isToastExist(toast);
            answers << m_op + (result ? " true" : " false");
        }
    }
    // Read only now: an argument pointing into a toast the call back deleted dangles by this time.
    heard[at] = line() + (toastId == toast ? QString() : QStringLiteral(" of toast %1").arg(toastId));
}

void addCallbackRows(const QStringList& roads)
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("heard");
    QTest::addColumn<QStringList>("answers");
    // Road, trigger, the report it makes.
    const QList<QStringList> triggers{
        {"native", "activated", "activated 1 0 open"},
        {"native", "dismissed", "dismissed 2"}, // the platform's: timed out
        {"native", "failed", "failed -2147467259"},
        {"native", "hidden", "dismissed 0"}, // the host's own hideToast
        {"popup", "button", "activated 1 0 open"},
        {"popup", "segment", "activated 2 0 open-profile"},
        {"popup", "close", "dismissed 0"},
        {"popup", "timeout", "dismissed 2"},
        {"tray", "balloon", "activated 1 0 Open"},
    };
    for (const QStringList& t : triggers) {
        const QString& road = t[0];
        if (!roads.contains(road))
            continue;
        for (const QString op : {"show", "update", "hide", "exists", "delete"}) {
            QStringList heard{t[2]};
            QStringList answers{op == "show" ? (road == "tray" ? "show 0" : "show id")
                                : op == "update" ? (road == "popup" ? "update true" : "update false")
                                : op == "delete" ? "deleted" : op + " true"};
            // A native hide reports its own dismissal once; the report's call back hides again.
            if (op == "hide" && road == "native" && t[1] != "hidden") {
                heard << "dismissed 0";
                answers << "hide true";
            }
            QTest::addRow("%s %s, %s", qPrintable(road), qPrintable(t[1]), qPrintable(op)) << road << t[1] << op << heard << answers;
        }
    }
}

namespace {

// The row's toast; the time-out's popup expires after 300 ms.
QMap<int, QVariant> callbackRequest(const QString& road, const QString& trigger)
{
    const QStringList open{QStringLiteral("{\"text\":\"Open\",\"action\":\"open\"}")};
    if (road != QLatin1String("popup"))
        return {{0, 1}, {1, SNT_TEST_DATA_DIR "/toast-icon.png"}, {5, QStringList{"Report ready", "Q3 figures"}}, {10, open}};
    QMap<int, QVariant> request{{0, 4}, {17, 1}, {10, open},
                                {5, QStringList{"{\"fields\":[{\"text\":\"Shared by \",\"click\":false},"
                                                "{\"text\":\"Ana\",\"action\":\"open-profile\",\"click\":true}]}"}}};
    if (trigger == QLatin1String("timeout"))
        request.insert(9, 300);
    return request;
}

// As a user does it, through the popup's window: its "Open" button, its
// clickable segment or its close button; the time-out needs nothing.
bool clickPopup(const QString& trigger)
{
    QWidget* popup = shownWindow("ApplicationToastWidget");
    if (!popup || !QTest::qWaitForWindowExposed(popup))
        return false;
    if (trigger == QLatin1String("timeout"))
        return true;
    QWidget* target = nullptr;
    for (QWidget* w : popup->findChildren<QWidget*>()) {
        const bool button = qobject_cast<QAbstractButton*>(w) && static_cast<QAbstractButton*>(w)->text() == QLatin1String("Open");
        const bool segment = qobject_cast<QLabel*>(w) && w->property("enable_click").toBool();
        const bool close = qobject_cast<QToolButton*>(w) != nullptr;
        if (w->isVisible() && (trigger == QLatin1String("button") ? button : trigger == QLatin1String("segment") ? segment : close))
            target = w;
    }
    if (!target)
        return false;
    // The popup may be deleted inside the release, with Qt's dispatch of it still to finish.
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, Qt::NoModifier, target->mapTo(popup, target->rect().center()));
    return true;
}

} // namespace

void runCallbackRow(ModuleLibrary& module, const std::function<bool(const QString& trigger)>& raise,
                    const std::function<bool()>& settle)
{
    QFETCH(QString, road);
    QFETCH(QString, trigger);
    QFETCH(QString, op);
    QFETCH(QStringList, heard);
    QFETCH(QStringList, answers);
    ISystemNotifyToast* service = module.create(road == QLatin1String("popup"));
    QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Test")}}));
    auto host = std::make_shared<CallbackHost>(service, module.destroy, op, callbackRequest(road, QString()));
    host->toast = service->showToast(callbackRequest(road, trigger), host);
    QVERIFY(road == QLatin1String("tray") ? service->isToastExist(0) : host->toast != 0);
    const QPointer<QWidget> popup = shownWindow("ApplicationToastWidget");
    if (trigger == QLatin1String("hidden"))
        QVERIFY(service->hideToast(host->toast)); // also when the report deleted the service
    else
        QVERIFY(road == QLatin1String("popup") ? clickPopup(trigger) : raise(trigger));
    QTRY_COMPARE(host->heard, heard);
    QCOMPARE(host->answers, answers);

    // Whatever comes late (the platform's own dismissal, the end of a fade) reports nothing more.
    QVERIFY(settle());
    QCoreApplication::sendPostedEvents();
    QTRY_VERIFY2(popup.isNull(), "the popup is deleted once it has faded out");
    QCOMPARE(host->heard, heard);
    if (host->service()) {
        QCOMPARE(service->isToastExist(host->toast), road != QLatin1String("popup"));
        module.destroy(service);
    }
}

QWidget* shownWindow(const char* className)
{
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && QByteArray(w->metaObject()->className()) == className)
            found = w;
    }
    return found;
}
