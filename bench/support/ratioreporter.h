#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Times `subject` and `baseline` one call each, in turn, for every iteration,
// and sets the counter "ratio" to the quotient of their summed times. A busy
// spell of the machine falls on both sides alike, so the ratio holds steady
// where the times themselves swing by a tenth between repetitions. `settle`
// runs untimed after each call (deleting what the call built, say).
template <class Subject, class Baseline, class Settle>
void timePaired(benchmark::State& state, Subject subject, Baseline baseline, Settle settle)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration subjectTime{};
    Clock::duration baselineTime{};
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        subject();
        const Clock::time_point t1 = Clock::now();
        settle();
        const Clock::time_point t2 = Clock::now();
        baseline();
        const Clock::time_point t3 = Clock::now();
        settle();
        subjectTime += t1 - t0;
        baselineTime += t3 - t2;
    }
    state.counters["ratio"] = baselineTime.count() > 0 ? double(subjectTime.count()) / double(baselineTime.count()) : 0;
}

template <class Subject, class Baseline>
void timePaired(benchmark::State& state, Subject subject, Baseline baseline)
{
    timePaired(state, subject, baseline, [] {});
}

// Statistics the reporter prints for a paired benchmark:
//   BENCHMARK(BM_X)->Apply(withSpread);
inline void withSpread(benchmark::internal::Benchmark* bench)
{
    bench->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
        ->UseRealTime();
}

// Console output as usual, then one line per paired benchmark:
//   "ratio NAME = median (min-max over N repetitions)"
// so that a figure never depends on the machine and always shows its spread.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const auto ratio = run.counters.find("ratio");
            if (ratio == run.counters.end())
                continue;
            Spread& spread = m_spreads[run.run_name.str()];
            if (run.run_type == Run::RT_Iteration) {
                spread.single = ratio->second.value;
            } else if (run.aggregate_name == "median") {
                spread.repetitions = int(run.repetitions);
                spread.median = ratio->second.value;
            } else if (run.aggregate_name == "min") {
                spread.min = ratio->second.value;
            } else if (run.aggregate_name == "max") {
                spread.max = ratio->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& entry : m_spreads) {
            const Spread& s = entry.second;
            if (s.repetitions > 1)
                std::printf("ratio %s = %.2f (%.2f-%.2f over %d repetitions)\n", entry.first.c_str(), s.median, s.min,
                            s.max, s.repetitions);
            else
                std::printf("ratio %s = %.2f (one repetition)\n", entry.first.c_str(), s.single);
        }
        std::fflush(stdout);
    }

private:
    struct Spread
    {
        int repetitions = 0;
        double single = 0;
        double median = 0;
        double min = 0;
        double max = 0;
    };
    std::map<std::string, Spread> m_spreads;
};
