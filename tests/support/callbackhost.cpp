#include "callbackhost.h"

#include "isystemnotifytoast.h"
#include "recordinglistener.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

namespace {

// Calls its service back from inside each report, and only then writes the report down: an argument pointing into a
// toast the call back deleted would dangle by that time.
class CallbackHost : public RecordingListener
{
public:
    CallbackHost(ISystemNotifyToast* service, DeleteSystemNotifyToastFn destroy, const QString& op,
                 const QMap<int, QVariant>& request)
        : m_service(service), m_destroy(destroy), m_op(op), m_request(request)
    {
    }

    void onToastActivated(quint64 id, int source, qint64 index, const QString& action) override
    {
        callBack();
        RecordingListener::onToastActivated(id, source, index, action);
    }
    void onToastDismissed(quint64 id, int reason) override
    {
        callBack();
        RecordingListener::onToastDismissed(id, reason);
    }
    void onToastFailed(quint64 id, int errorCode) override
    {
        callBack();
        RecordingListener::onToastFailed(id, errorCode);
    }

    quint64 toast = 0;   // the id the reports and calls back are about
    QStringList answers; // the service's answers to the calls back, in the order they returned
    ISystemNotifyToast* service() const { return m_service; } // null once deleted from a report

private:
    void callBack()
    {
        ISystemNotifyToast* service = m_service;
        if (!service || ++m_reports > 5) // a looping module stops here
            return;
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

    ISystemNotifyToast* m_service;
    DeleteSystemNotifyToastFn m_destroy;
    QString m_op;
    QMap<int, QVariant> m_request;
    int m_reports = 0;
};

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

} // namespace

void addCallbackRows(const QStringList& roads)
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("heard"); // in the order the reports returned
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
            // A native hide reports its own dismissal once, inside the report whose call back hides.
            if (op == "hide" && road == "native" && t[1] != "hidden") {
                heard.prepend("dismissed 0");
                answers << "hide true";
            }
            QTest::addRow("%s %s, %s", qPrintable(road), qPrintable(t[1]), qPrintable(op)) << road << t[1] << op << heard << answers;
        }
    }
}

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
    QTRY_COMPARE(host->heard(host->toast), heard);
    QCOMPARE(host->answers, answers);

    // Whatever comes late (the platform's own dismissal, the end of a fade) reports nothing more.
    QVERIFY(settle());
    QCoreApplication::sendPostedEvents();
    QTRY_VERIFY2(popup.isNull(), "the popup is deleted once it has faded out");
    QCOMPARE(host->heard(host->toast), heard);
    if (host->service()) {
        QCOMPARE(service->isToastExist(host->toast), road != QLatin1String("popup"));
        module.destroy(service);
    }
}

bool clickPopup(const QString& what)
{
    QWidget* popup = shownWindow("ApplicationToastWidget");
    if (!popup || !QTest::qWaitForWindowExposed(popup))
        return false;
    if (what.startsWith(QLatin1String("timeout")))
        return true;
    const int index = QRegularExpression("button (\\d)").match(what).captured(1).toInt();
    QWidget* target = nullptr;
    for (QWidget* w : popup->findChildren<QWidget*>()) {
        const bool wanted = what.startsWith(QLatin1String("button")) ? w->property("buttonIndex") == index
                            : what.startsWith(QLatin1String("segment")) ? w->property("enable_click").toBool()
                                                                        : qobject_cast<QToolButton*>(w) != nullptr;
        if (wanted && w->isVisible())
            target = w;
    }
    if (!target)
        return false;
    // The popup may be deleted inside the release, with Qt's dispatch of it still to finish.
    const QPoint at = target->mapTo(popup, target->rect().center());
    const Qt::MouseButton button = what.contains(QLatin1String("right button")) ? Qt::RightButton : Qt::LeftButton;
    QTest::mousePress(popup->windowHandle(), button, Qt::NoModifier, at);
    QTest::mouseRelease(popup->windowHandle(), button, Qt::NoModifier, what.contains(QLatin1String("outside")) ? QPoint(2, 2) : at);
    return true;
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
