// Counts heap allocations of the paths that run over and over: a render must
// make exactly one (its coverage mask), a read of the import box exactly one
// (its copy of the text, share codes and all) and the per-tick visibility
// decision none. Linked with --wrap for the C allocator; operator new is counted too.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <new>

#include "codes/codes.h"
#include "crosshair/crosshair.h"
#include "overlay/placement.h"

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* p, size_t size);
void __real_free(void* p);
}

namespace {

// Counting is switched on only around the measured loops, so start-up and
// printing by the C library do not disturb the figures.
bool g_counting = false;
long g_allocations = 0;
long g_frees = 0;

void CountAllocation() {
    if (g_counting) ++g_allocations;
}

}  // namespace

extern "C" {
void* __wrap_malloc(size_t size) {
    CountAllocation();
    return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
    CountAllocation();
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* p, size_t size) {
    CountAllocation();
    return __real_realloc(p, size);
}
void __wrap_free(void* p) {
    if (g_counting && p) ++g_frees;
    __real_free(p);
}
}

void* operator new(size_t size) {
    CountAllocation();
    void* p = __real_malloc(size ? size : 1);
    if (!p) abort();
    return p;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { __wrap_free(p); }
void operator delete[](void* p) noexcept { __wrap_free(p); }
void operator delete(void* p, size_t) noexcept { __wrap_free(p); }
void operator delete[](void* p, size_t) noexcept { __wrap_free(p); }

namespace {

const int kRenderCalls = 1000;
const int kDecisionCalls = 100000;
const int kParseCalls = 1000;
const int kSide = kOverlaySize;

struct Counts {
    long allocations, frees;
};

void StartCounting() {
    g_allocations = 0;
    g_frees = 0;
    g_counting = true;
}

Counts StopCounting() {
    g_counting = false;
    Counts c = {g_allocations, g_frees};
    return c;
}

Counts CountRenders(uint32_t* pixels) {
    CrosshairSettings heavy = kBuiltinPresets[0].settings;
    heavy.size = 10.0f;
    heavy.thickness = 5.0f;
    heavy.outlineThickness = 3.0f;
    heavy.dot = 1;
    StartCounting();
    for (int i = 0; i < kRenderCalls; ++i) {
        const CrosshairSettings& s = (i % 2) ? heavy : kBuiltinPresets[i % kBuiltinPresetCount].settings;
        RenderCrosshair(s, pixels, kSide, kSide, (i % 3) ? 1080 : 2160);
    }
    return StopCounting();
}

// Texts that take every road of the reader: commands, pixel variables, a
// valid code of each container, damaged codes, comments, many words, a
// VALORANT code.
Counts CountParses() {
    const wchar_t* const texts[] = {
        L"cl_crosshairsize 2.5; cl_crosshairgap -1; cl_crosshaircolor 1",
        L"C\u00f3digo: \"CSGO-MnUCC-89iG7-2cVar-wy7Yn-amCpF\" cl_crosshair_length 9",
        L"$code CS2YzM7EJwGv3sYsU4qmobJcPLZhFjKhr5q4Wb99W5xkPG\ncl_crosshair_screen_height 1440",
        L"CSGO-GADqf-jjyJ8-cSP2r-smZRo-TO2xK // CSGO-Cn37R-YE7vo-pLCAL-aURmZ-z6zkG",
        L"Mira: \"0;P;c;8;u;FF8000;h;0;0l;4;0o;2;0a;1;1b;0\" cl_crosshairdot 1",
    };
    const int textCount = (int)(sizeof texts / sizeof texts[0]);
    StartCounting();
    for (int i = 0; i < kParseCalls; ++i) {
        CrosshairSettings c = kBuiltinPresets[0].settings;
        bool unreadable = false;
        ParseCrosshairCode(texts[i % textCount], &c, &unreadable);
    }
    return StopCounting();
}

// Walks every combination of the decision inputs, with a clock that wraps.
Counts CountDecisions() {
    volatile int32_t sink = 0;
    StartCounting();
    for (int i = 0; i < kDecisionCalls; ++i) {
        const int32_t enabled = i & 1;
        const bool inFront = (i & 2) != 0;
        const int32_t onlyWithGame = (i >> 2) & 1;
        const int32_t aimOnly = (i >> 3) & 1;
        const bool button = (i & 16) != 0;
        const int32_t hideWithCursor = (i >> 5) & 1;
        const bool cursor = (i & 64) != 0;
        const uint32_t now = (uint32_t)i * 997u + 0xFFFF0000u;
        sink = sink + SecondHasPassed(now, now - (uint32_t)(i % 2000));
        sink = sink + OverlayWanted(enabled, inFront, onlyWithGame, aimOnly, button,
                                    hideWithCursor, cursor);
        sink = sink + NeedsRightButton(enabled, inFront, onlyWithGame, aimOnly);
        sink = sink + NeedsCursorState(enabled, inFront, onlyWithGame, aimOnly, button,
                                       hideWithCursor);
        sink = sink + CursorLookDue(button, now, now - (uint32_t)(i % 100));
        sink = sink + CursorCountsAsShown((uint32_t)i & 3u, cursor);
        sink = sink + WantedTickPeriod(enabled, inFront, aimOnly, hideWithCursor);
    }
    return StopCounting();
}

bool Report(const char* what, double perCall, long frees, double expected, long expectedFrees) {
    const bool ok = perCall == expected && frees == expectedFrees;
    if (expected == 0.0) {
        printf("alloc %s: %.0f (expected 0)%s\n", what, perCall, ok ? "" : "  MISMATCH");
    } else {
        printf("alloc %s: %.2f per call (expected %.0f), %ld frees%s\n", what, perCall, expected,
               frees, ok ? "" : "  MISMATCH");
    }
    return ok;
}

}  // namespace

int main() {
    uint32_t* pixels = (uint32_t*)__real_malloc((size_t)kSide * kSide * sizeof(uint32_t));
    if (!pixels) return 2;
    const Counts renders = CountRenders(pixels);
    const Counts decisions = CountDecisions();
    const Counts parses = CountParses();
    __real_free(pixels);

    bool ok = Report("RenderCrosshair", (double)renders.allocations / kRenderCalls, renders.frees,
                     1.0, kRenderCalls);
    ok = Report("ParseCrosshairCode", (double)parses.allocations / kParseCalls, parses.frees, 1.0,
                kParseCalls) &&
         ok;
    ok = Report("visibility decision", (double)decisions.allocations, decisions.frees, 0.0, 0) && ok;
    fflush(stdout);
    return ok ? 0 : 1;
}
