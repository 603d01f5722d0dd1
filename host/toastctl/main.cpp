// toastctl: a host program that loads the toast module by file name and drives one service.
#include "requestjson.h"
#include "toastctlsession.h"
#include "umxloggerlite.h"

#include "toastctlplatform.h"

#include <QAccessible>
#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QJsonObject>
#include <QLibrary>
#include <QMutex>
#include <QMutexLocker>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

enum ExitCode { ExitDone = 0, ExitUsage = 2, ExitNoModule = 3, ExitNoOutcome = 4, ExitRefused = 5 };

const char k_usage[] =
    "usage: toastctl [--module FILE] [--app-drawn] [--rtl] [--config JSON] [--app-id ID]\n"
    "                [--platform-version X.Y.Z] [--log] [--dump-xml] [--wait MS] [--all]\n"
    "                [--show-after MS] [--hide-after MS] [--update REQUEST --update-after MS]\n"
    "                show REQUEST\n"
    "       toastctl [--module FILE] [--platform-version X.Y.Z] supported\n"
    "       toastctl --help | --version\n"
    "REQUEST and JSON are JSON objects, or @file.json.\n";

const char k_help[] =
    "\n"
    "Loads the toast module and shows one toast, printing what becomes of it as\n"
    "one JSON object per line; or says whether the system has native toasts.\n"
    "\n"
    "  --module FILE            the module to load (default: the one installed beside toastctl)\n"
    "  --app-drawn              popups drawn by the module instead of native toasts\n"
    "  --rtl                    lay the host out right to left\n"
    "  --config JSON            what init receives: appUserModeId, startMenuLnkPath, appName, rccSources\n"
    "  --app-id ID              the process's own application id (default toastctl), used when\n"
    "                           --config names no appUserModeId\n"
    "  --platform-version X.Y.Z pin the Windows version the simulated platform reports\n"
    "                           (not on Windows)\n"
    "  --log                    print the module's log lines as {\"event\":\"log\",...}\n"
    "  --dump-xml               print the documents the simulated in-memory delivery\n"
    "                           received (not on Windows)\n"
    "  --wait MS                how long to wait for an outcome (default 30000)\n"
    "  --all                    report every outcome until --wait ends\n"
    "  --show-after MS          show the toast MS after the start, with the event loop running\n"
    "                           (a screen reader hears only of what a host shows once it is known)\n"
    "  --hide-after MS          hide the toast MS after showing it\n"
    "  --update REQUEST         request given to updateToast ...\n"
    "  --update-after MS        ... after MS (the two go together)\n"
    "  -h, --help               this text\n"
    "  --version                the version\n"
    "\n"
    "Exit status: 0 done, 2 usage error or no screen for the road asked, 3 module not\n"
    "loadable, 4 no outcome in time, 5 the service refused the toast.\n"
    "Without a DISPLAY or WAYLAND_DISPLAY that answers (and QT_QPA_PLATFORM unset) native toasts\n"
    "run on Qt's offscreen platform; popups and tray balloons need a screen (not on Windows).\n";

const char k_defaultAppId[] = "toastctl";

int usageError(const QString& message)
{
    std::fprintf(stderr, "toastctl: %s\n%s", qPrintable(message), k_usage);
    return ExitUsage;
}

int noScreen(const QString& what, const QString& why)
{
    std::fprintf(stderr, "toastctl: %s needs a screen, and %s\n", qPrintable(what), qPrintable(why));
    return ExitUsage;
}

struct Options
{
    bool help = false;
    bool version = false;
    QString module;
    QString appId;
    bool appDrawn = false;
    bool rightToLeft = false;
    QVariantMap config;
    bool log = false;
    bool dumpXml = false;
    int waitMs = 30000;
    bool all = false;
    int showAfterMs = -1;
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
        {{"h", "help"}, "usage"},
        {"version", "version"},
        {"module", "module file", "FILE"},
        {"app-id", "the process's application id", "ID"},
        {"app-drawn", "popups drawn by the module"},
        {"rtl", "lay the host out right to left"},
        {"config", "configuration JSON", "JSON"},
        {"platform-version", "pin the simulated Windows version", "X.Y.Z"},
        {"log", "print the module's log lines"},
        {"dump-xml", "print the toast documents the in-memory delivery received"},
        {"wait", "how long to wait for outcomes", "MS"},
        {"all", "report every outcome until --wait ends"},
        {"show-after", "show the toast after MS", "MS"},
        {"hide-after", "hide the toast after MS", "MS"},
        {"update", "request applied by updateToast", "REQUEST"},
        {"update-after", "when to apply --update", "MS"},
    });
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    options.help = parser.isSet("help");
    options.version = parser.isSet("version");
    if (options.help || options.version)
        return true;
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

    if (parser.isSet("platform-version") && !toastctl::pinPlatformVersion(parser.value("platform-version"), error))
        return false;
    if (options.dumpXml && !toastctl::hasSimulationControls()) {
        error = QStringLiteral("--dump-xml reads the simulated platform's in-memory delivery, which Windows does not have");
        return false;
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
    if (parser.isSet("app-id") && parser.value("app-id").isEmpty()) {
        error = QStringLiteral("--app-id takes a non-empty ID");
        return false;
    }
    options.appId = parser.value("app-id");
    if (options.appId.isEmpty() && options.config.value(QStringLiteral("appUserModeId")).toString().isEmpty())
        options.appId = QLatin1String(k_defaultAppId);
    if (!readMs(parser, "wait", options.waitMs, error) || !readMs(parser, "show-after", options.showAfterMs, error)
        || !readMs(parser, "hide-after", options.hideAfterMs, error)
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

// The module's log lines: printed with --log, and kept to explain a refusal.
class LogLines
{
public:
    explicit LogLines(bool print)
    {
        // The logger may still be calling a copy of the sink on a platform
        // thread when this object goes: the sink shares the state.
        std::shared_ptr<State> state = m_state;
        UmxLoggerLite::setSink([state, print](const std::wstring& tag, const std::wstring& line) {
            QMutexLocker lock(&state->mutex);
            state->lines << QString::fromStdWString(line);
            if (print)
                printEvent({{"event", "log"}, {"tag", QString::fromStdWString(tag)}, {"line", state->lines.last()}});
        });
    }
    ~LogLines() { UmxLoggerLite::setSink({}); }
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    int count() const
    {
        QMutexLocker lock(&m_state->mutex);
        return m_state->lines.size();
    }

    // The last line since `from` that is not an operation's "end" line: why it stopped.
    QString lastReasonSince(int from) const
    {
        QMutexLocker lock(&m_state->mutex);
        const QStringList& lines = m_state->lines;
        for (int i = lines.size() - 1; i >= from; --i) {
            const int message = lines.at(i).indexOf(QLatin1String(" : "));
            if (message >= 0 && !QStringView(lines.at(i)).mid(message + 3).startsWith(QLatin1String("end")))
                return lines.at(i);
        }
        return QString();
    }

private:
    struct State
    {
        QMutex mutex;
        QStringList lines;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

int runShow(const Options& options, ModuleHandle& module)
{
    LogLines log(options.log);
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

    // A host shows its toasts while it runs; its event loop has turned and
    // assistive technologies know it by then.
    if (options.showAfterMs > 0) {
        QEventLoop loop;
        QTimer::singleShot(options.showAfterMs, &loop, &QEventLoop::quit);
        loop.exec();
    }

    const int linesBefore = log.count();
    const quint64 id = service->showToast(options.request, listener);
    // 0 is a toast only for the tray, which keeps its balloon under 0.
    if (id == 0 && !service->isToastExist(0)) {
        QJsonObject failed{{"event", "failed"}, {"id", 0}, {"reason", "refused"}};
        const QString why = log.lastReasonSince(linesBefore);
        if (!why.isEmpty())
            failed.insert("log", why);
        printEvent(failed);
        module.destroy(service);
        return ExitRefused;
    }
    printEvent({{"event", "shown"}, {"id", double(id)}});
    if (options.dumpXml) {
        for (const QString& document : toastctl::shownToastDocuments())
            printEvent({{"event", "xml"}, {"id", double(id)}, {"xml", document}});
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
    if (options.help) {
        std::printf("%s%s", k_usage, k_help);
        return ExitDone;
    }
    if (options.version) {
        std::printf("toastctl %s\n", SNT_VERSION);
        return ExitDone;
    }

    if (options.command == QLatin1String("supported")) {
        toastctl::initializeThread();
        QCoreApplication app(argc, argv);
        ModuleHandle module;
        if (!module.load(options.module, error)) {
            std::fprintf(stderr, "toastctl: cannot load the module: %s\n", qPrintable(error));
            return ExitNoModule;
        }
        printEvent({{"supported", module.isSupported()}});
        return ExitDone;
    }

    // A terminal without a display: native toasts need no screen, so Qt gets
    // one that draws nowhere instead of failing to reach an X server.
    const QString noDisplay = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? toastctl::noDisplayLeft() : QString();
    const bool screenless = !noDisplay.isEmpty();
    if (screenless) {
        if (options.appDrawn)
            return noScreen(QStringLiteral("--app-drawn (popups drawn by the module)"), noDisplay);
        if (noDisplay.endsWith(QLatin1String("answer")))
            std::fprintf(stderr, "toastctl: %s; going on without a screen\n", qPrintable(noDisplay));
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    toastctl::initializeThread();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // Qt joins the accessibility bus when first asked, which a host's own
    // windows do as it starts; toastctl has none.
    QAccessible::isActive();
    if (screenless && (options.appDrawn || !toastctl::nativeToastsExpected()))
        return noScreen(QStringLiteral("the tray balloon (no native toasts: platform version below 10, "
                                       "or no notification server on the session bus)"),
                        noDisplay);
    if (!options.appId.isEmpty() && !toastctl::setProcessAppId(options.appId, error))
        return usageError(error);
    if (options.rightToLeft)
        app.setLayoutDirection(Qt::RightToLeft);
    ModuleHandle module;
    if (!module.load(options.module, error)) {
        std::fprintf(stderr, "toastctl: cannot load the module: %s\n", qPrintable(error));
        return ExitNoModule;
    }
    return runShow(options, module);
}
