// The host's stand-in for the Imaging Component: PNG files through libpng's
// simplified reader, premultiplied as the Windows decoder hands them over.
// Other formats read as unreadable here; the tool and the tests use PNG.
#include "crosshair/image_decode.h"

#include <png.h>
#include <stdlib.h>
#include <string.h>

namespace {

const uint32_t kChannelMax = 255;
enum { kBytesPerPixel = 4, kAlphaShift = 24, kChannelBits = 8, kColourChannels = 3 };

// The straight-alpha BGRA bytes libpng writes, premultiplied in place and
// rounded to the nearest value, as Wine's converter does.
void Premultiply(uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        unsigned char* p = reinterpret_cast<unsigned char*>(pixels + i);
        const uint32_t alpha = p[kColourChannels];
        uint32_t value = alpha << kAlphaShift;
        for (int c = 0; c < kColourChannels; ++c)
            value |= ((p[c] * alpha + kChannelMax / 2) / kChannelMax) << (c * kChannelBits);
        pixels[i] = value;
    }
}

bool SideFits(png_uint_32 side) { return side >= 1 && side <= (png_uint_32)kImageMaxSide; }

}  // namespace

ImageDecodeResult DecodeImage(const unsigned char* bytes, size_t size, CrosshairImage* image) {
    image->pixels = nullptr;
    image->width = image->height = 0;
    if (!bytes) return kImageUnreadable;
    if (size > kImageFileMaxBytes) return kImageTooBig;
    png_image png;
    memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes, size)) {
        png_image_free(&png);
        return kImageUnreadable;
    }
    if (!SideFits(png.width) || !SideFits(png.height)) {
        png_image_free(&png);
        return kImageTooBig;
    }
    png.format = PNG_FORMAT_BGRA;
    const size_t count = (size_t)png.width * png.height;
    uint32_t* pixels = (uint32_t*)malloc(count * kBytesPerPixel);
    if (!pixels) {
        png_image_free(&png);
        return kImageUnreadable;
    }
    // Reading ends the png_image's life, whatever the outcome.
    if (!png_image_finish_read(&png, nullptr, pixels, 0, nullptr)) {
        png_image_free(&png);
        free(pixels);
        return kImageUnreadable;
    }
    Premultiply(pixels, count);
    image->pixels = pixels;
    image->width = (int32_t)png.width;
    image->height = (int32_t)png.height;
    return kImageDecoded;
}
