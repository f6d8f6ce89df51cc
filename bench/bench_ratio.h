// Ratio lines of the benchmark program: a benchmark is reported as a multiple
// of a baseline benchmark measured in the same run on the same machine, so the
// figures stay comparable across machines.
#pragma once

// After all benchmarks ran, prints "ratio <name>: X.XX x <baseline>" using the
// real time per iteration of both. A target above 0 is shown beside the ratio
// (informative only: timings on a shared machine are noisy).
void RegisterRatio(const char* name, const char* baseline, double target = 0.0);

// For registration at static initialisation: BENCH_RATIO(BM_Foo, BM_Memset, 1.5);
#define BENCH_RATIO_JOIN2(a, b) a##b
#define BENCH_RATIO_JOIN(a, b) BENCH_RATIO_JOIN2(a, b)
#define BENCH_RATIO(name, baseline, target)                                       \
    static const bool BENCH_RATIO_JOIN(kRatioRegistered, __LINE__) =             \
        (RegisterRatio(#name, #baseline, (target)), true)
