#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// Console output as usual, then one line per ratio of two benchmarks of the
// same run ("name / baseline = x"), so figures never depend on the machine.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> ratios)
        : m_ratios(std::move(ratios))
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            // With repetitions, keep the median aggregate; otherwise the single run.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            std::string name = run.benchmark_name();
            const std::string suffix = "_median";
            if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                name.erase(name.size() - suffix.size());
            m_times[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& ratio : m_ratios) {
            const auto a = m_times.find(ratio.first);
            const auto b = m_times.find(ratio.second);
            if (a == m_times.end() || b == m_times.end() || b->second <= 0)
                continue;
            std::printf("ratio %s / %s = %.2f\n", ratio.first.c_str(), ratio.second.c_str(), a->second / b->second);
        }
        std::fflush(stdout);
    }

private:
    std::vector<std::pair<std::string, std::string>> m_ratios;
    std::map<std::string, double> m_times;
};
