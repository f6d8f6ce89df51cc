// Main of zavik-bench: runs the selected benchmarks with the console output
// and then prints the registered ratios of one benchmark to its baseline.
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <map>
#include <string>
#include <vector>

#include "bench_ratio.h"

namespace {

struct RatioRow {
    std::string name, baseline;
    double target;
};

// Function-local so that registrations from other files' static
// initialisers find it constructed whatever the link order.
std::vector<RatioRow>& Ratios() {
    static std::vector<RatioRow> rows;
    return rows;
}

// Keeps, per benchmark, the fastest real time per iteration of its runs, or
// the median when repetitions are displayed as aggregates only: either way the
// least disturbed figure on a shared machine.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> fastest;
    std::map<std::string, double> median;

    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") median[name] = seconds;
                continue;
            }
            auto it = fastest.find(name);
            if (it == fastest.end() || seconds < it->second) fastest[name] = seconds;
        }
    }

    // 0 when the benchmark did not run.
    double SecondsPerIteration(const std::string& name) const {
        auto it = fastest.find(name);
        if (it != fastest.end()) return it->second;
        it = median.find(name);
        return it != median.end() ? it->second : 0.0;
    }
};

void PrintRatios(const RecordingReporter& reporter) {
    for (const RatioRow& row : Ratios()) {
        const double measured = reporter.SecondsPerIteration(row.name);
        const double base = reporter.SecondsPerIteration(row.baseline);
        if (measured <= 0.0 || base <= 0.0) continue;  // filtered out of this run
        const double ratio = measured / base;
        if (row.target > 0.0) {
            printf("ratio %s: %.2f x %s (target %.2f: %s)\n", row.name.c_str(), ratio,
                   row.baseline.c_str(), row.target, ratio <= row.target ? "met" : "missed");
        } else {
            printf("ratio %s: %.2f x %s\n", row.name.c_str(), ratio, row.baseline.c_str());
        }
    }
    fflush(stdout);
}

}  // namespace

void RegisterRatio(const char* name, const char* baseline, double target) {
    Ratios().push_back(RatioRow{name, baseline, target});
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
