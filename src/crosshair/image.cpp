// The scaler of image crosshairs: whole-pixel blocks at or above the native
// size, so pixel art stays sharp, and area averaging below it. Every step is
// integer arithmetic, so Windows, Wine and the host draw the same pixels.
#include "crosshair/image.h"

#include <stdlib.h>
#include <string.h>

#include "crosshair/crosshair.h"

namespace {

const int64_t kPercent = 100;
// s = H x P / (1080 x 100): the scale is compared and rounded as this fraction.
const int64_t kScaleDenominator = (int64_t)kImageNativeHeight * kPercent;
const uint32_t kChannelMax = 255;
enum { kChannelCount = 4, kChannelBits = 8 };

int32_t Clamp(int32_t v, int32_t low, int32_t high) {
    if (v < low) return low;
    if (v > high) return high;
    return v;
}

// numerator / denominator rounded to the nearest whole number, halves up
// (both positive).
int64_t RoundHalfUp(int64_t numerator, int64_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

uint32_t ChannelOf(uint32_t pixel, int channel) {
    return (pixel >> (channel * kChannelBits)) & kChannelMax;
}

uint32_t WithOpacity(uint32_t pixel, uint32_t opacity) {
    if (opacity == kChannelMax) return pixel;
    uint32_t out = 0;
    for (int c = 0; c < kChannelCount; ++c) {
        const uint32_t v = (uint32_t)RoundHalfUp((int64_t)ChannelOf(pixel, c) * opacity, kChannelMax);
        out |= v << (c * kChannelBits);
    }
    return out;
}

// The part of the canvas the drawn image covers, and where the image's
// top-left corner lies on it (possibly outside).
struct Placement {
    int32_t left, top;  // image origin on the canvas
    int32_t x0, y0, x1, y1;  // covered canvas pixels, half-open, clipped
};

Placement Place(const ImageDrawSize& size, int32_t w, int32_t h) {
    Placement p;
    p.left = w / 2 - size.width / 2;
    p.top = h / 2 - size.height / 2;
    p.x0 = Clamp(p.left, 0, w);
    p.y0 = Clamp(p.top, 0, h);
    p.x1 = Clamp(p.left + size.width, 0, w);
    p.y1 = Clamp(p.top + size.height, 0, h);
    return p;
}

void DrawBlocks(const CrosshairImage& image, int32_t block, const Placement& p, uint32_t opacity,
                uint32_t* pixels, int32_t w) {
    for (int32_t y = p.y0; y < p.y1; ++y) {
        const uint32_t* source = image.pixels + (size_t)((y - p.top) / block) * (size_t)image.width;
        uint32_t* row = pixels + (size_t)y * (size_t)w;
        for (int32_t x = p.x0; x < p.x1; ++x) row[x] = WithOpacity(source[(x - p.left) / block], opacity);
    }
}

// The source pixels one drawn pixel covers along one axis. Measured in units
// where a source pixel is `drawn` long and a drawn pixel `whole` long, drawn
// pixel i spans [i x whole, (i + 1) x whole).
struct Span {
    int32_t first, last;  // source pixels, inclusive
    int64_t start, end;   // the drawn pixel in those units
};

Span SpanOf(int32_t i, int32_t whole, int32_t drawn) {
    Span s;
    s.start = (int64_t)i * whole;
    s.end = s.start + whole;
    s.first = (int32_t)(s.start / drawn);
    s.last = (int32_t)((s.end - 1) / drawn);
    return s;
}

// How much of source pixel j the drawn pixel's span covers.
int64_t Overlap(const Span& s, int32_t j, int32_t drawn) {
    const int64_t low = (int64_t)j * drawn > s.start ? (int64_t)j * drawn : s.start;
    const int64_t high = (int64_t)(j + 1) * drawn < s.end ? (int64_t)(j + 1) * drawn : s.end;
    return high - low;
}

// One drawn pixel as the coverage-weighted mean of the source pixels under
// it, channel by channel in premultiplied colour, halves up. Each channel of
// the mean stays at most its alpha, as in every source pixel.
uint32_t AveragedPixel(const CrosshairImage& image, const ImageDrawSize& size, int32_t dx,
                       int32_t dy) {
    const Span sx = SpanOf(dx, image.width, size.width);
    const Span sy = SpanOf(dy, image.height, size.height);
    uint64_t sums[kChannelCount] = {0, 0, 0, 0};
    for (int32_t j = sy.first; j <= sy.last; ++j) {
        const int64_t wy = Overlap(sy, j, size.height);
        const uint32_t* row = image.pixels + (size_t)j * (size_t)image.width;
        for (int32_t i = sx.first; i <= sx.last; ++i) {
            const uint64_t weight = (uint64_t)(wy * Overlap(sx, i, size.width));
            for (int c = 0; c < kChannelCount; ++c) sums[c] += weight * ChannelOf(row[i], c);
        }
    }
    // The drawn pixel's area in these units.
    const int64_t area = (int64_t)image.width * image.height;
    uint32_t out = 0;
    for (int c = 0; c < kChannelCount; ++c)
        out |= (uint32_t)RoundHalfUp((int64_t)sums[c], area) << (c * kChannelBits);
    return out;
}

void DrawAveraged(const CrosshairImage& image, const ImageDrawSize& size, const Placement& p,
                  uint32_t opacity, uint32_t* pixels, int32_t w) {
    for (int32_t y = p.y0; y < p.y1; ++y) {
        uint32_t* row = pixels + (size_t)y * (size_t)w;
        for (int32_t x = p.x0; x < p.x1; ++x)
            row[x] = WithOpacity(AveragedPixel(image, size, x - p.left, y - p.top), opacity);
    }
}

}  // namespace

void FreeCrosshairImage(CrosshairImage* image) {
    if (!image) return;
    free(image->pixels);
    image->pixels = nullptr;
    image->width = image->height = 0;
}

bool ImageIsUsable(const CrosshairImage& image) {
    return image.pixels && image.width >= 1 && image.width <= kImageMaxSide &&
           image.height >= 1 && image.height <= kImageMaxSide;
}

ImageDrawSize MeasureImage(int32_t width, int32_t height, int32_t referenceHeight,
                           int32_t scalePercent) {
    width = Clamp(width, 1, kImageMaxSide);
    height = Clamp(height, 1, kImageMaxSide);
    const int64_t numerator = (int64_t)Clamp(referenceHeight, 1, kPixelLimit) *
                              Clamp(scalePercent, kImageScaleMin, kImageScaleMax);
    ImageDrawSize size;
    if (numerator >= kScaleDenominator) {
        const int32_t longest = width > height ? width : height;
        const int64_t fits = kImageDrawnMaxSide / longest;
        const int64_t block = RoundHalfUp(numerator, kScaleDenominator);
        size.block = (int32_t)(block < fits ? block : fits);
        size.width = width * size.block;
        size.height = height * size.block;
        return size;
    }
    size.block = 0;
    size.width = (int32_t)RoundHalfUp(width * numerator, kScaleDenominator);
    size.height = (int32_t)RoundHalfUp(height * numerator, kScaleDenominator);
    if (size.width < 1) size.width = 1;
    if (size.height < 1) size.height = 1;
    return size;
}

void RenderImage(const CrosshairImage& image, int32_t referenceHeight, int32_t scalePercent,
                 uint8_t opacity, uint32_t* pixels, int32_t w, int32_t h) {
    if (!pixels || w <= 0 || h <= 0) return;
    memset(pixels, 0, (size_t)w * (size_t)h * sizeof(uint32_t));
    if (!ImageIsUsable(image)) return;
    const ImageDrawSize size = MeasureImage(image.width, image.height, referenceHeight, scalePercent);
    const Placement p = Place(size, w, h);
    if (size.block > 0) {
        DrawBlocks(image, size.block, p, opacity, pixels, w);
    } else {
        DrawAveraged(image, size, p, opacity, pixels, w);
    }
}
