// Cost of one popup against a bare dialog with as many child widgets, and the
// resident memory left behind by many popups shown and hidden.
#include "applicationtoastimpl.h"
#include "applicationtoastwidget.h"
#include "isystemnotifytoastlistener.h"
#include "toastrequestkey.h"
#include "toastskinresources.h"

#include "support/ratioreporter.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QVBoxLayout>

#include <malloc.h>
#include <unistd.h>

namespace {

class QuietListener : public ISystemNotifyToastListener
{
public:
    void onToastActivated(quint64, int, qint64, const QString&) override {}
    void onToastDismissed(quint64, int) override {}
    void onToastFailed(quint64, int) override {}
};

QMap<int, QVariant> threeLinesThreeButtons()
{
    QStringList actions;
    for (const char* name : {"Open", "Show in folder", "Dismiss"})
        actions << QStringLiteral("{\"text\":\"%1\",\"action\":\"%1\"}").arg(QLatin1String(name));
    return {
        {ToastKeyType, 4},
        {ToastKeyTitleText, QStringLiteral("Orvex Sheets")},
        {ToastKeyImagePath, QStringLiteral(".xlsx")},
        {ToastKeyTextFields, QStringList{"Budget 2027.xlsx was saved", "Shared with 3 people", "Just now"}},
        {ToastKeyActions, actions},
        {ToastKeyExpiration, 5000u},
    };
}

int popupChildWidgets()
{
    ApplicationToastImpl service;
    auto listener = std::make_shared<QuietListener>();
    const quint64 id = service.showToast(threeLinesThreeButtons(), listener);
    return service.popup(id)->findChildren<QWidget*>().size();
}

QDialog* bareDialog(int children)
{
    auto* dialog = new QDialog;
    auto* layout = new QVBoxLayout(dialog);
    for (int i = 0; i < children; ++i)
        layout->addWidget(new QLabel(QStringLiteral("child %1").arg(i), dialog));
    dialog->show();
    return dialog;
}

// A popup and a bare dialog in turn; each is deleted, untimed, before the next.
void BM_PopupVsBareDialog(benchmark::State& state)
{
    static const int children = popupChildWidgets();
    state.counters["children"] = children;
    auto listener = std::make_shared<QuietListener>();
    const QMap<int, QVariant> request = threeLinesThreeButtons();
    auto service = std::make_unique<ApplicationToastImpl>();
    QDialog* dialog = nullptr;
    timePaired(
        state, [&] { benchmark::DoNotOptimize(service->showToast(request, listener)); },
        [&] { dialog = bareDialog(children); },
        [&] {
            service = std::make_unique<ApplicationToastImpl>(); // deletes the popup at once
            delete dialog;
            dialog = nullptr;
            QCoreApplication::processEvents();
        });
}

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0) : -1;
}

// Shows and hides popups in batches and waits until every fade-out has ended
// and the popups are gone.
void showAndHide(ApplicationToastImpl& service, int count)
{
    auto listener = std::make_shared<QuietListener>();
    const QMap<int, QVariant> request = threeLinesThreeButtons();
    const int batch = 10; // popups on screen at once
    for (int done = 0; done < count; done += batch) {
        QList<quint64> ids;
        for (int i = 0; i < batch && done + i < count; ++i)
            ids << service.showToast(request, listener);
        for (quint64 id : ids)
            service.hideToast(id);
        QElapsedTimer guard;
        guard.start();
        while (service.hidingCount() > 0 && guard.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

int popupsLeft()
{
    int count = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        count += qobject_cast<const ApplicationToastWidget*>(window) ? 1 : 0;
    return count;
}

void reportMemory()
{
    ApplicationToastImpl service;
    showAndHide(service, 1); // fonts, style sheets and resources load once
    malloc_trim(0);
    const double start = residentMiB();
    showAndHide(service, 500);
    const double after = residentMiB();
    // What the allocator keeps for reuse is not held by popups.
    malloc_trim(0);
    const double trimmed = residentMiB();
    std::printf("rss MiB: start %.2f, after 500 popups %.2f (growth %.2f), after malloc_trim %.2f (growth %.2f); "
                "popups left %d\n",
                start, after, after - start, trimmed, trimmed - start, popupsLeft());
    std::fflush(stdout);
}

} // namespace

BENCHMARK(BM_PopupVsBareDialog)->Unit(benchmark::kMicrosecond)->Apply(withSpread);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns on every opacity step of a fade; writing
    // those lines is not the popup's cost.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "default.warning=false");
    QApplication app(argc, argv);
    registerDefaultRccSources({});
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reportMemory();
    return 0;
}
