// The live preview's picture: the 320 x 320 render magnified around its
// centre and blended over a checkerboard, so that transparent and dark
// crosshairs stay visible.
#include "ui/preview.h"

#include <stddef.h>

namespace {

struct Rgb {
    uint32_t red, green, blue;
};

const Rgb kCheckerDark = {58, 66, 62};
const Rgb kCheckerLight = {92, 104, 98};
const int32_t kMinZoom = 1;

int32_t Distance(int32_t a, int32_t b) { return a > b ? a - b : b - a; }

// Rounds toward minus infinity, so the pixels left of and above the centre
// form whole blocks too (-1 / 4 is -1, not 0).
int32_t FloorDiv(int32_t a, int32_t b) {
    int32_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

uint32_t SourcePixel(const uint32_t* render, int32_t sx, int32_t sy) {
    if (sx < 0 || sx >= kPreviewSource || sy < 0 || sy >= kPreviewSource) return 0;
    return render[sy * kPreviewSource + sx];
}

// Background component times the pixel's transparency plus the pixel's own
// (already premultiplied) component. A pixel that breaks the premultiplied
// rule must not spill into the neighbouring channel.
uint32_t Blend(uint32_t background, uint32_t pixel, int shift) {
    const uint32_t alpha = pixel >> 24;
    const uint32_t component = (pixel >> shift) & 0xFFu;
    const uint32_t sum = background * (255u - alpha) / 255u + component;
    return sum > 255u ? 255u : sum;
}

}  // namespace

int32_t PreviewExtent(const uint32_t* render) {
    int32_t extent = 1;
    for (int32_t y = 0; y < kPreviewSource; ++y) {
        const uint32_t* row = render + y * kPreviewSource;
        for (int32_t x = 0; x < kPreviewSource; ++x) {
            if ((row[x] >> 24) == 0) continue;
            const int32_t dx = Distance(x, kPreviewCentre);
            const int32_t dy = Distance(y, kPreviewCentre);
            const int32_t d = dx > dy ? dx : dy;
            if (d > extent) extent = d;
        }
    }
    return extent;
}

int32_t PreviewZoom(int32_t n, int32_t extent) {
    if (extent < 1) extent = 1;
    if (extent > kPreviewSource) extent = kPreviewSource;
    int32_t zoom = (n / 2 - kPreviewMargin) / (extent + 1);
    if (zoom < kMinZoom) zoom = kMinZoom;
    if (zoom > kPreviewMaxZoom) zoom = kPreviewMaxZoom;
    return zoom;
}

void ComposePreview(const uint32_t* render, int32_t n, int32_t zoom, int32_t cell, uint32_t* out) {
    if (zoom < kMinZoom) zoom = kMinZoom;
    if (cell < 1) cell = 1;
    const int32_t half = n / 2;
    for (int32_t r = 0; r < n; ++r) {
        const int32_t sy = kPreviewCentre + FloorDiv(r - half, zoom);
        for (int32_t c = 0; c < n; ++c) {
            const int32_t sx = kPreviewCentre + FloorDiv(c - half, zoom);
            const uint32_t p = SourcePixel(render, sx, sy);
            const Rgb& b = ((c / cell + r / cell) % 2 == 0) ? kCheckerDark : kCheckerLight;
            out[(size_t)r * (size_t)n + (size_t)c] =
                (Blend(b.red, p, 16) << 16) | (Blend(b.green, p, 8) << 8) | Blend(b.blue, p, 0);
        }
    }
}
