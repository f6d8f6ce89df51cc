// The settings window's magnified live preview as a pure function: a 320 x 320
// render in, an n x n picture on a checkerboard out. The Windows side only
// allocates, calls it and copies the result to the screen.
#pragma once
#include <stdint.h>

#include "overlay/placement.h"

// The source is the overlay's own render.
enum {
    kPreviewSource = kOverlaySize, kPreviewCentre = kOverlayHalf, kPreviewMargin = 6,
    kPreviewMaxZoom = 8,
};

// Largest max(|x - 160|, |y - 160|) over the pixels whose alpha is not 0; at least 1.
int32_t PreviewExtent(const uint32_t* render);
// (n / 2 - 6) / (extent + 1), limited to 1..8.
int32_t PreviewZoom(int32_t n, int32_t extent);
// Fills out (n x n, top row first, 0x00RRGGBB) with the render magnified by zoom
// around its centre over a checkerboard of cell-pixel squares (top-left dark).
void ComposePreview(const uint32_t* render, int32_t n, int32_t zoom, int32_t cell, uint32_t* out);
