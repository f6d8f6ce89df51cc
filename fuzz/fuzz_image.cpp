// Fuzzes the decode path of image crosshairs on the host (libpng behind the
// decoder contract) and the scaler after it: the first four bytes choose the
// height, the scale and the opacity, the rest is the file. Whatever decodes
// must keep to the limits and stay premultiplied through the render.
#include <stdlib.h>
#include <string.h>

#include "crosshair/image_decode.h"
#include "overlay/placement.h"

namespace {
enum { kParameterBytes = 4, kByteMax = 255 };
uint32_t g_canvas[kImageDrawnMaxSide * kImageDrawnMaxSide];

bool Premultiplied(uint32_t p) {
    const uint32_t a = p >> 24;
    return ((p >> 16) & 0xFF) <= a && ((p >> 8) & 0xFF) <= a && (p & 0xFF) <= a;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kParameterBytes) return 0;
    const int32_t height = 1 + (data[0] << 8 | data[1]);
    const int32_t percent = kImageScaleMin + data[2] * (kImageScaleMax - kImageScaleMin) / kByteMax;
    const uint8_t opacity = data[3];
    CrosshairImage image = {};
    ImageDecodeResult result = DecodeImage(data + kParameterBytes, size - kParameterBytes, &image);
    if (result != kImageDecoded) {
        if (image.pixels) abort();
        return 0;
    }
    if (!ImageIsUsable(image)) abort();
    for (int32_t i = 0; i < image.width * image.height; ++i)
        if (!Premultiplied(image.pixels[i])) abort();
    const ImageDrawSize drawn = MeasureImage(image.width, image.height, height, percent);
    const int32_t side = OverlaySideFor(drawn.width, drawn.height);
    if (side > kImageDrawnMaxSide) abort();
    RenderImage(image, height, percent, opacity, g_canvas, side, side);
    for (int32_t i = 0; i < side * side; ++i)
        if (!Premultiplied(g_canvas[i])) abort();
    FreeCrosshairImage(&image);
    return 0;
}
