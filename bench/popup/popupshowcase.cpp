// Shows one finished-looking popup for screenshots: popupshowcase [--rtl] [MS]
// (the theme follows UMLITE_THEME of the kit).
#include "applicationtoastimpl.h"
#include "isystemnotifytoastlistener.h"
#include "toastrequestkey.h"

#include <QApplication>
#include <QTimer>

namespace {

class NoListener : public ISystemNotifyToastListener
{
public:
    void onToastActivated(quint64, int, qint64, const QString&) override {}
    void onToastDismissed(quint64, int) override {}
    void onToastFailed(quint64, int) override {}
};

QString segment(const QString& text, const QString& action = QString())
{
    return QStringLiteral("{\"text\":\"%1\",\"action\":\"%2\",\"click\":%3}")
        .arg(text, action, action.isEmpty() ? QStringLiteral("false") : QStringLiteral("true"));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int ms = 2500;
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument == QLatin1String("--rtl"))
            QApplication::setLayoutDirection(Qt::RightToLeft);
        else if (argument.toInt() > 0)
            ms = argument.toInt();
    }
    ApplicationToastImpl service;
    service.init({});
    const QStringList lines{
        QStringLiteral("{\"fields\":[%1]}").arg(segment("Budget 2027.xlsx was saved")),
        QStringLiteral("{\"fields\":[%1,%2,%3]}")
            .arg(segment("Shared with "), segment("Ana Ruiz", "profile"), segment(" and 2 others")),
        QStringLiteral("{\"fields\":[%1]}").arg(segment("Just now")),
    };
    const QMap<int, QVariant> request{
        {ToastKeyType, 4},
        {ToastKeyIconPath, QStringLiteral("orvex_office")},
        {ToastKeyTitleText, QStringLiteral("Orvex Sheets")},
        {ToastKeyImagePath, QStringLiteral(".xlsx")},
        {ToastKeyImageSize, QSize(48, 48)},
        {ToastKeyTextFields, lines},
        {ToastKeyTextFormat, 1},
        {ToastKeyActions, QStringList{QStringLiteral("{\"text\":\"Open\",\"action\":\"open\"}"),
                                      QStringLiteral("{\"text\":\"Show in folder\",\"action\":\"folder\"}")}},
    };
    auto listener = std::make_shared<NoListener>();
    if (service.showToast(request, listener) == 0)
        return 1;
    QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    return app.exec();
}
