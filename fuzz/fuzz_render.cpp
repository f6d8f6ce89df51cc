// Fuzzes the settings reading rules and the rasterizer together: the input is
// a reference height (its first four bytes) and an INI file (the rest) whose
// "Mira" section is worn over the first built-in and drawn.
#include <stdlib.h>
#include <string.h>

#include "crosshair/crosshair.h"
#include "fuzz_input.h"
#include "storage/settings.h"
#include "overlay/placement.h"

namespace {
const int32_t kSide = kOverlaySize;
uint32_t g_pixels[kSide * kSide];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t height = 1080;
    if (size >= sizeof height) {
        memcpy(&height, data, sizeof height);
        data += sizeof height;
        size -= sizeof height;
    }
    const char* narrowPath = FuzzFilePath("zavik-fuzz-render");
    if (!FuzzWriteFile(narrowPath, data, size)) return 0;
    std::wstring path = FuzzWidePath(narrowPath);

    CrosshairSettings c = kBuiltinPresets[0].settings;
    ReadCrosshairSection(path.c_str(), kSectionCrosshair, &c);
    RenderCrosshair(c, g_pixels, kSide, kSide, height);
    // Premultiplied: no colour channel may exceed its alpha.
    for (uint32_t p : g_pixels) {
        uint32_t a = p >> 24;
        if (((p >> 16) & 0xFF) > a || ((p >> 8) & 0xFF) > a || (p & 0xFF) > a) abort();
    }
    return 0;
}
