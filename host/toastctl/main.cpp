// toastctl: a host program that loads the toast module by file name and drives one service.
#include "requestjson.h"
#include "toastctlsession.h"
#include "umxloggerlite.h"

#include <winsim/control.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>
#include <QTimer>
#include <QVersionNumber>

#include <cstdio>

namespace {

enum ExitCode { ExitDone = 0, ExitUsage = 2, ExitNoModule = 3, ExitNoOutcome = 4 };

const char k_usage[] =
    "usage: toastctl [--module FILE] [--app-drawn] [--rtl] [--config JSON] [--platform-version X.Y.Z]\n"
    "                [--log] [--dump-xml] [--wait MS] [--all] [--hide-after MS]\n"
    "                [--update REQUEST --update-after MS] show REQUEST\n"
    "       toastctl [--module FILE] [--platform-version X.Y.Z] supported\n"
    "REQUEST and JSON are JSON objects, or @file.json.\n";

int usageError(const QString& message)
{
    std::fprintf(stderr, "toastctl: %s\n%s", qPrintable(message), k_usage);
    return ExitUsage;
}

struct Options
{
    QString module;
    bool appDrawn = false;
    bool rightToLeft = false;
    QVariantMap config;
    bool log = false;
    bool dumpXml = false;
    int waitMs = 30000;
    bool all = false;
    int hideAfterMs = -1;
    QMap<int, QVariant> update;
    bool hasUpdate = false;
    int updateAfterMs = -1;
    QString command;
    QMap<int, QVariant> request;
};

bool readMs(const QCommandLineParser& parser, const QString& name, int& out, QString& error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    out = parser.value(name).toInt(&ok);
    if (!ok || out < 0) {
        error = QStringLiteral("--%1 takes a number of milliseconds").arg(name);
        return false;
    }
    return true;
}

bool readRequest(const QString& argument, QMap<int, QVariant>& request, QString& error)
{
    QString text;
    return readJsonArgument(argument, text, error) && requestFromJson(text, request, error);
}

// Reads the command line; a false answer carries the usage error.
bool parseOptions(const QStringList& arguments, Options& options, QString& error)
{
    QCommandLineParser parser;
    parser.addOptions({
        {"module", "module file", "FILE"},
        {"app-drawn", "popups drawn by the module"},
        {"rtl", "lay the host out right to left"},
        {"config", "configuration JSON", "JSON"},
        {"platform-version", "pin the simulated Windows version", "X.Y.Z"},
        {"log", "print the module's log lines"},
        {"dump-xml", "print the toast documents the in-memory delivery received"},
        {"wait", "how long to wait for outcomes", "MS"},
        {"all", "report every outcome until --wait ends"},
        {"hide-after", "hide the toast after MS", "MS"},
        {"update", "request applied by updateToast", "REQUEST"},
        {"update-after", "when to apply --update", "MS"},
    });
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        error = QStringLiteral("missing command (show or supported)");
        return false;
    }
    options.command = positional.first();
    options.module = parser.value("module");
    options.appDrawn = parser.isSet("app-drawn");
    options.rightToLeft = parser.isSet("rtl");
    options.log = parser.isSet("log");
    options.dumpXml = parser.isSet("dump-xml");
    options.all = parser.isSet("all");

    if (parser.isSet("platform-version")) {
        const QVersionNumber version = QVersionNumber::fromString(parser.value("platform-version"));
        if (version.isNull() || version.segmentCount() > 3) {
            error = QStringLiteral("--platform-version takes X.Y.Z");
            return false;
        }
        winsim::control::pinOsVersion(version);
    }

    if (options.command == QLatin1String("supported")) {
        if (positional.size() != 1) {
            error = QStringLiteral("supported takes no argument");
            return false;
        }
        return true;
    }
    if (options.command != QLatin1String("show")) {
        error = QStringLiteral("unknown command \"%1\"").arg(options.command);
        return false;
    }
    if (positional.size() != 2) {
        error = QStringLiteral("show takes exactly one REQUEST");
        return false;
    }
    if (!readRequest(positional.at(1), options.request, error))
        return false;
    if (parser.isSet("config")) {
        QString text;
        if (!readJsonArgument(parser.value("config"), text, error) || !configFromJson(text, options.config, error))
            return false;
    }
    if (!readMs(parser, "wait", options.waitMs, error) || !readMs(parser, "hide-after", options.hideAfterMs, error)
        || !readMs(parser, "update-after", options.updateAfterMs, error))
        return false;
    options.hasUpdate = parser.isSet("update");
    if (options.hasUpdate != parser.isSet("update-after")) {
        error = QStringLiteral("--update and --update-after go together");
        return false;
    }
    if (options.hasUpdate && !readRequest(parser.value("update"), options.update, error))
        return false;
    return true;
}

void installLogSink()
{
    static QMutex mutex;
    UmxLoggerLite::setSink([](const std::wstring& tag, const std::wstring& line) {
        // Lines also come from the platform's event threads.
        QMutexLocker lock(&mutex);
        printEvent({{"event", "log"}, {"tag", QString::fromStdWString(tag)}, {"line", QString::fromStdWString(line)}});
    });
}

int runShow(const Options& options, ModuleHandle& module)
{
    if (options.log)
        installLogSink();
    ISystemNotifyToast* service = module.create(options.appDrawn);
    service->init(options.config);

    auto listener = std::make_shared<ToastctlListener>();
    int outcomes = 0;
    int exitCode = ExitNoOutcome;
    QObject::connect(listener.get(), &ToastctlListener::outcome, [&] {
        ++outcomes;
        if (!options.all) {
            exitCode = ExitDone;
            QCoreApplication::exit(ExitDone);
        }
    });

    const quint64 id = service->showToast(options.request, listener);
    printEvent({{"event", "shown"}, {"id", double(id)}});
    if (options.dumpXml) {
        for (const winsim::control::ShownToast& toast : winsim::control::shownToasts())
            printEvent({{"event", "xml"}, {"id", double(id)}, {"xml", toast.xml}});
    }

    if (options.hideAfterMs >= 0) {
        QTimer::singleShot(options.hideAfterMs, [&] {
            const bool result = service->hideToast(id);
            printEvent({{"event", "hidden"}, {"id", double(id)}, {"result", result}});
        });
    }
    if (options.hasUpdate) {
        QTimer::singleShot(options.updateAfterMs, [&] {
            const bool result = service->updateToast(id, options.update);
            printEvent({{"event", "updated"}, {"id", double(id)}, {"result", result}});
        });
    }
    QTimer::singleShot(options.waitMs, [&] {
        exitCode = (options.all && outcomes > 0) ? ExitDone : ExitNoOutcome;
        QCoreApplication::exit(exitCode);
    });

    if (outcomes == 0 || options.all)
        QCoreApplication::exec();
    else
        exitCode = ExitDone;

    module.destroy(service);
    UmxLoggerLite::setSink({});
    return exitCode;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    Options options;
    QString error;
    // Parsed before any application object exists, so that "supported" needs no display.
    if (!parseOptions(arguments, options, error))
        return usageError(error);

    if (options.command == QLatin1String("supported")) {
        QCoreApplication app(argc, argv);
        ModuleHandle module;
        if (!module.load(options.module, error)) {
            std::fprintf(stderr, "toastctl: cannot load the module: %s\n", qPrintable(error));
            return ExitNoModule;
        }
        printEvent({{"supported", module.isSupported()}});
        return ExitDone;
    }

    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (options.rightToLeft)
        app.setLayoutDirection(Qt::RightToLeft);
    ModuleHandle module;
    if (!module.load(options.module, error)) {
        std::fprintf(stderr, "toastctl: cannot load the module: %s\n", qPrintable(error));
        return ExitNoModule;
    }
    return runShow(options, module);
}
