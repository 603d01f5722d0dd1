// A complete host: loads the toast module by file name, shows one toast with
// two buttons and prints what the user did with it.
#include <isystemnotifytoast.h>
#include <isystemnotifytoastlistener.h>
#include <systemnotifytoastexports.h>
#include <toastrequestkey.h>

#include <QApplication>
#include <QLibrary>
#include <QTimer>

#include <cstdio>

class PrintingListener : public ISystemNotifyToastListener
{
public:
    void onToastActivated(quint64 id, int source, qint64 index, const QString& action) override
    {
        std::printf("activated id=%llu source=%d index=%lld action=%s\n", id, source, index, qPrintable(action));
        QCoreApplication::quit();
    }
    void onToastDismissed(quint64 id, int reason) override
    {
        std::printf("dismissed id=%llu reason=%d\n", id, reason);
        QCoreApplication::quit();
    }
    void onToastFailed(quint64 id, int errorCode) override
    {
        std::printf("failed id=%llu error=%d\n", id, errorCode);
        QCoreApplication::quit();
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool appDrawn = arguments.removeAll(QStringLiteral("--app-drawn")) > 0;
    // The installed module, unless the command line names another file.
    QLibrary module(arguments.value(0, QStringLiteral(SYSTEMNOTIFYTOAST_MODULE_FILE)));
    auto create = reinterpret_cast<CreateSystemNotifyToastFn>(module.resolve("createSystemNotifyToast"));
    auto destroy = reinterpret_cast<DeleteSystemNotifyToastFn>(module.resolve("deleteSystemNotifyToast"));
    if (!create || !destroy) {
        std::fprintf(stderr, "cannot load the toast module: %s\n", qPrintable(module.errorString()));
        return 1;
    }

    // false: native toasts where the system has them, tray balloons otherwise.
    ISystemNotifyToast* toasts = create(appDrawn);
    toasts->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Example")}});

    const QMap<int, QVariant> request{
        {ToastKeyType, 1}, // two text lines
        {ToastKeyTextFields, QStringList{QStringLiteral("Backup finished"), QStringLiteral("3 files were saved")}},
        {ToastKeyActions, QStringList{QStringLiteral(R"({"text":"Open folder","action":"open-folder"})"),
                                      QStringLiteral(R"({"text":"Undo","action":"undo"})")}},
        {ToastKeyExpiration, 20000},
    };
    auto listener = std::make_shared<PrintingListener>();
    const quint64 id = toasts->showToast(request, listener);
    std::printf("shown id=%llu\n", id);
    std::fflush(stdout);

    QTimer::singleShot(30000, &app, &QCoreApplication::quit);
    app.exec();
    destroy(toasts); // the module's objects die before the listener does
    return 0;
}
