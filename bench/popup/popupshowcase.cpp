// Shows one finished-looking popup for screenshots: popupshowcase [--rtl]
// [--long] [MS] (the theme follows UMLITE_THEME of the kit). --long: texts
// and labels longer than the popup has room for, five actions and a large image.
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
    bool rtl = false;
    bool longTexts = false;
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument == QLatin1String("--rtl"))
            rtl = true;
        else if (argument == QLatin1String("--long"))
            longTexts = true;
        else if (argument.toInt() > 0)
            ms = argument.toInt();
    }
    if (rtl)
        QApplication::setLayoutDirection(Qt::RightToLeft);
    ApplicationToastImpl service;
    service.init({});
    // A right-to-left host shows right-to-left text: Hebrew here.
    const QStringList texts = rtl ? QStringList{QString::fromUtf8("\u05ea\u05e7\u05e6\u05d9\u05d1 2027.xlsx \u05e0\u05e9\u05de\u05e8"),
                                                QString::fromUtf8("\u05e9\u05d5\u05ea\u05e3 \u05e2\u05dd "),
                                                QString::fromUtf8("\u05d3\u05e0\u05d4 \u05db\u05d4\u05df"),
                                                QString::fromUtf8(" \u05d5\u05e2\u05d5\u05d3 2"),
                                                QString::fromUtf8("\u05e2\u05db\u05e9\u05d9\u05d5")}
                                  : QStringList{"Budget 2027.xlsx was saved", "Shared with ", "Ana Ruiz", " and 2 others",
                                                "Just now"};
    const QString open = rtl ? QString::fromUtf8("\u05e4\u05ea\u05d7") : QStringLiteral("Open");
    const QString folder = rtl ? QString::fromUtf8("\u05d4\u05e6\u05d2 \u05d1\u05ea\u05d9\u05e7\u05d9\u05d9\u05d4")
                               : QStringLiteral("Show in folder");
    const QStringList lines{
        QStringLiteral("{\"fields\":[%1]}").arg(segment(texts.at(0))),
        QStringLiteral("{\"fields\":[%1,%2,%3]}")
            .arg(segment(texts.at(1)), segment(texts.at(2), "profile"), segment(texts.at(3))),
        QStringLiteral("{\"fields\":[%1]}").arg(segment(texts.at(4))),
    };
    const QMap<int, QVariant> request{
        {ToastKeyType, 4},
        {ToastKeyIconPath, QStringLiteral("orvex_office")},
        {ToastKeyTitleText, QStringLiteral("Orvex Sheets")},
        {ToastKeyImagePath, QStringLiteral(".xlsx")},
        {ToastKeyImageSize, QSize(48, 48)},
        {ToastKeyTextFields, lines},
        {ToastKeyTextFormat, 1},
        {ToastKeyActions, QStringList{QStringLiteral("{\"text\":\"%1\",\"action\":\"open\"}").arg(open),
                                      QStringLiteral("{\"text\":\"%1\",\"action\":\"folder\"}").arg(folder)}},
    };
    const QStringList labels{QStringLiteral("Open the shared document in the editor and review all edits."),
                             QStringLiteral("Show in folder"), QStringLiteral("Copy link"),
                             QStringLiteral("Stop sharing"), QStringLiteral("Mute")};
    QStringList actions;
    for (int i = 0; i < labels.size(); ++i)
        actions << QStringLiteral("{\"text\":\"%1\",\"action\":\"a%2\"}").arg(labels.at(i)).arg(i);
    const QMap<int, QVariant> longRequest{
        {ToastKeyType, 4},
        {ToastKeyIconPath, QStringLiteral("orvex_office")},
        {ToastKeyTitleText, QStringLiteral("Orvex Writer \u2013 Quarterly budget review for the northern region")},
        {ToastKeyImagePath, QStringLiteral(".docx")},
        {ToastKeyImageSize, QSize(160, 160)},
        {ToastKeyTextFields, QStringList{QStringLiteral("Quarterly budget review for the northern region.docx was shared"),
                                         QStringLiteral("Ana Ruiz, Tomas Berg and 14 others can now edit this document"),
                                         QStringLiteral("Just now, from the Orvex cloud")}},
        {ToastKeyActions, actions},
    };
    auto listener = std::make_shared<NoListener>();
    if (service.showToast(longTexts ? longRequest : request, listener) == 0)
        return 1;
    QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    return app.exec();
}
