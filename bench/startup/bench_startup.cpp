// What a host pays to start using toasts: loading the module, and loading it
// plus creating, initialising and deleting each kind of service. Each sample is
// a fresh process, timed from just after its QApplication exists (so the
// module's libraries are really loaded, not found already mapped). Medians.
#include "systemnotifytoastexports.h"
#include "isystemnotifytoast.h"

#include <winsim/control.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLibrary>
#include <QProcess>
#include <QVersionNumber>

#include <algorithm>
#include <cstdio>

namespace {

const QStringList k_modes = {"load", "tray", "native", "popup"};

int runChild(const QString& mode)
{
    if (mode == QLatin1String("native"))
        winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    else
        winsim::control::pinOsVersion(QVersionNumber(6, 3, 9600));
    QElapsedTimer timer;
    timer.start();
    QLibrary module(QStringLiteral(SNT_MODULE_FILE));
    if (!module.load())
        return 3;
    if (mode != QLatin1String("load")) {
        auto create = reinterpret_cast<CreateSystemNotifyToastFn>(module.resolve("createSystemNotifyToast"));
        auto destroy = reinterpret_cast<DeleteSystemNotifyToastFn>(module.resolve("deleteSystemNotifyToast"));
        ISystemNotifyToast* service = create(mode == QLatin1String("popup"));
        service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office")}});
        destroy(service);
    }
    std::printf("%lld\n", static_cast<long long>(timer.nsecsElapsed()));
    return 0;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return runChild(QString::fromLatin1(argv[2]));
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 30;
    QMap<QString, QVector<double>> samples;
    // Interleaved so that a slow phase of the machine hits every mode alike.
    for (int run = 0; run < runs; ++run) {
        for (const QString& mode : k_modes) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--child", mode});
            if (!child.waitForFinished(30000) || child.exitCode() != 0) {
                std::fprintf(stderr, "bench_startup: child %s failed\n", qPrintable(mode));
                return 1;
            }
            samples[mode] << child.readAllStandardOutput().trimmed().toDouble() / 1e6;
        }
    }
    std::printf("startup (median of %d fresh processes, ms):\n", runs);
    for (const QString& mode : k_modes)
        std::printf("startup %s = %.2f ms\n", qPrintable(mode), median(samples[mode]));
    return 0;
}
