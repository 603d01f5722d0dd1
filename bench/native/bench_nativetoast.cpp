// What one native toast costs on the in-memory platform: the time of showToast
// for a full request (against parsing that request alone), and the memory the
// service keeps per toast once it has been shown and hidden, or closed by the
// platform and never hidden.
#include "nativeexample.h"
#include "systemtoastwinimpl.h"
#include "toastdata.h"

#include <winsim/control.h>

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <malloc.h>

namespace {

const QVariantMap k_config{{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Desktop")}};

void settle()
{
    winsim::control::waitForPlatformEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_ShowToastFullExample(benchmark::State& state)
{
    winsim::control::reset();
    SystemToastWinImpl service;
    service.init(k_config);
    const QMap<int, QVariant> request = fullNativeExample();
    int shown = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(service.showToast(request, {}));
        if (++shown % 1000 == 0) {
            state.PauseTiming();
            winsim::control::clearShownToasts();
            state.ResumeTiming();
        }
    }
    winsim::control::clearShownToasts();
}

void BM_ParseFullExample(benchmark::State& state)
{
    const QMap<int, QVariant> request = fullNativeExample();
    for (auto _ : state) {
        ToastData data;
        benchmark::DoNotOptimize(data.parse(request));
    }
}

// The service keeps every entry by design; what each costs once its toast is
// hidden (platform notification and document released), or once the platform
// closed it and the host never hid it (both kept, with the handlers), is what
// matters.
void measureMemoryPerToast(benchmark::State& state, bool hide)
{
    constexpr int k_toasts = 10000;
    for (auto _ : state) {
        winsim::control::reset();
        SystemToastWinImpl service;
        service.init(k_config);
        settle();
        const size_t before = mallinfo2().uordblks;
        const int objectsBefore = winsim::control::liveObjects();
        const QMap<int, QVariant> request = fullNativeExample();
        for (int i = 0; i < k_toasts; ++i) {
            const quint64 id = service.showToast(request, {});
            if (hide)
                service.hideToast(id);
            else
                winsim::control::raiseDismissed(winsim::control::shownToasts().last().key, 2); // timed out
            if (i % 500 == 0) {
                settle();
                winsim::control::clearShownToasts(); // the delivery's own record, not the service's
            }
        }
        settle();
        winsim::control::clearShownToasts();
        settle();
        const size_t after = mallinfo2().uordblks;
        state.counters["bytes_per_toast"] = double(after - before) / k_toasts;
        state.counters["platform_objects_left"] = double(winsim::control::liveObjects() - objectsBefore);
    }
}

void BM_MemoryPerHiddenToast(benchmark::State& state)
{
    measureMemoryPerToast(state, true);
}

void BM_MemoryPerClosedToast(benchmark::State& state)
{
    measureMemoryPerToast(state, false);
}

} // namespace

BENCHMARK(BM_ShowToastFullExample);
BENCHMARK(BM_ParseFullExample);
BENCHMARK(BM_MemoryPerHiddenToast)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerClosedToast)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
