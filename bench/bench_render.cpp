// Cost of the rasterizer against the clear it cannot avoid: a memset of the
// 320 x 320 overlay buffer. A render should stay close to that clear.
#include <benchmark/benchmark.h>
#include <string.h>

#include <vector>

#include "bench_ratio.h"
#include "crosshair/crosshair.h"
#include "overlay/placement.h"

namespace {

const int kSide = kOverlaySize;
const size_t kBufferBytes = (size_t)kSide * kSide * sizeof(uint32_t);  // 409,600
const double kRenderTarget = 1.5;

void BM_ClearOverlayBuffer(benchmark::State& state) {
    std::vector<uint32_t> pixels((size_t)kSide * kSide);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pixels.data());
        memset(pixels.data(), 0, kBufferBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)kBufferBytes);
}
BENCHMARK(BM_ClearOverlayBuffer);

void RenderLoop(benchmark::State& state, const CrosshairSettings& settings, int referenceHeight) {
    std::vector<uint32_t> pixels((size_t)kSide * kSide);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pixels.data());
        RenderCrosshair(settings, pixels.data(), kSide, kSide, referenceHeight);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)kBufferBytes);
}

void BM_RenderDefaultAt1080(benchmark::State& state) {
    RenderLoop(state, kBuiltinPresets[0].settings, 1080);
}
BENCHMARK(BM_RenderDefaultAt1080);

// A heavy ordinary crosshair: long thick arms, a wide outline and a dot at 4K.
void BM_RenderHeavyAt2160(benchmark::State& state) {
    CrosshairSettings s = kBuiltinPresets[0].settings;
    s.size = 10.0f;
    s.gap = 0.0f;
    s.thickness = 5.0f;
    s.outline = 1;
    s.outlineThickness = 3.0f;
    s.dot = 1;
    RenderLoop(state, s, 2160);
}
BENCHMARK(BM_RenderHeavyAt2160);

BENCH_RATIO(BM_RenderDefaultAt1080, BM_ClearOverlayBuffer, kRenderTarget);
BENCH_RATIO(BM_RenderHeavyAt2160, BM_ClearOverlayBuffer, kRenderTarget);

}  // namespace
