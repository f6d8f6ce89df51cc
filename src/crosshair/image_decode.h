// Decoding an image file's bytes into crosshair pixels: the Imaging Component
// of Windows in the program (image_decode_win.cpp), libpng on the host
// (image_decode_host.cpp, PNG only) for the tool, the tests and the fuzzer.
#pragma once
#include <stddef.h>

#include "crosshair/image.h"

enum { kImageFileMaxBytes = 4 * 1024 * 1024 };

enum ImageDecodeResult {
    kImageDecoded,     // *image holds the pixels
    kImageTooBig,      // over 4 MiB, or a side beyond 1..256
    kImageUnreadable,  // not an image of a known format, or damaged
};

// Decodes PNG, BMP, GIF (its first frame, at its offset on a transparent
// canvas of the GIF's logical screen) or ICO (its largest image) into 32-bit
// premultiplied BGRA; any other format is unreadable. The limits are checked before any pixel is
// copied. Only kImageDecoded fills *image; otherwise it is left empty. The
// caller frees the pixels with FreeCrosshairImage. On Windows the calling
// thread may have COM initialised apartment-threaded, or not at all.
ImageDecodeResult DecodeImage(const unsigned char* bytes, size_t size, CrosshairImage* image);
