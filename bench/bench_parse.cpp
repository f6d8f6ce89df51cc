// Reading a crosshair out of a whole pasted config file (1 MiB), beside a plain
// copy of the same text: the reader should cost little more than its own copy.
#include <benchmark/benchmark.h>

#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "bench_ratio.h"
#include "codes/codes.h"
#include "crosshair/crosshair.h"

namespace {

const size_t kPasteChars = 1 << 20;

// Lines of the kind players paste: comments, binds, aliases, other cvars and
// the crosshair commands themselves, quoted and not, and an old share code
// left in a comment, which sends the reader through the comment rule of
// every line up to each one.
const wchar_t* const kPasteLines[] = {
    L"// ---------------- mira ----------------\r\n",
    L"cl_crosshairstyle \"4\"\r\n",
    L"cl_crosshairsize \"2.5\" // comprimento\r\n",
    L"cl_crosshairgap \"-1.5\"\r\n",
    L"cl_crosshairthickness 0.5\r\n",
    L"cl_crosshair_drawoutline \"1\"; cl_crosshair_outlinethickness \"1\"\r\n",
    L"cl_crosshaircolor 5; cl_crosshaircolor_r 0; cl_crosshaircolor_g 255; cl_crosshaircolor_b 170\r\n",
    L"cl_crosshairalpha \"200\"\r\n",
    L"bind \"mouse4\" \"toggle cl_crosshairsize 2.5 1000\"\r\n",
    L"alias +mira \"cl_crosshairgap -3;cl_crosshairdot 1\"\r\n",
    L"sensitivity \"1.25\"; m_rawinput \"1\"; fps_max \"400\"\r\n",
    L"// binds de compra e comunicação\r\n",
    L"// mira antiga: CSGO-bMBxd-4XfA6-xPOLq-SVEBJ-knhrM\r\n",
    L"bind \"F3\" \"buy vesthelm; buy defuser\"\r\n",
    L"\r\n",
};

const std::wstring& Paste() {
    static std::wstring text;
    if (text.empty()) {
        size_t n = sizeof kPasteLines / sizeof kPasteLines[0];
        for (size_t i = 0; text.size() < kPasteChars; i = (i + 1) % n) text += kPasteLines[i];
        text.resize(kPasteChars);
    }
    return text;
}

void BM_ParsePaste(benchmark::State& state) {
    const wchar_t* text = Paste().c_str();
    int count = 0;
    for (auto _ : state) {
        CrosshairSettings crosshair = kBuiltinPresets[0].settings;
        count = ParseCrosshairCode(text, &crosshair);
        benchmark::DoNotOptimize(crosshair);
    }
    state.counters["commands"] = count;
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)(kPasteChars * sizeof(wchar_t)));
}
BENCHMARK(BM_ParsePaste);

// The least any reader must do: one pass to find the end and one copy.
void BM_CopyPaste(benchmark::State& state) {
    const wchar_t* text = Paste().c_str();
    std::vector<wchar_t> buffer(kPasteChars + 1);
    for (auto _ : state) {
        wcscpy(buffer.data(), text);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)(kPasteChars * sizeof(wchar_t)));
}
BENCHMARK(BM_CopyPaste);

BENCH_RATIO(BM_ParsePaste, BM_CopyPaste, 3.0);

}  // namespace
