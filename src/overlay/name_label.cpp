// The name label's place, the canvas that holds it and its composition into
// the overlay's pixels, apart from the GDI that draws the text.
#include "overlay/name_label.h"

namespace {
const uint32_t kLabelTextPixel = 0xFFFFFFFFu;     // opaque white
const uint32_t kLabelOutlinePixel = 0xFF000000u;  // opaque black

int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }

bool IsText(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= maskWidth || y >= maskHeight) return false;
    return mask[(int64_t)y * maskWidth + x] >= kLabelCoverageText;
}

bool TouchesText(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight, int32_t x,
                 int32_t y) {
    for (int32_t dy = -kLabelOutline; dy <= kLabelOutline; ++dy)
        for (int32_t dx = -kLabelOutline; dx <= kLabelOutline; ++dx)
            if (IsText(mask, maskWidth, maskHeight, x + dx, y + dy)) return true;
    return false;
}

// One axis of the canvas: the extents before and after the centre that must
// fit; the base stays when it holds them.
int32_t GrowAxis(int32_t base, int32_t before, int32_t after) {
    int32_t baseBefore = base / 2, baseAfter = base - base / 2;
    if (before <= baseBefore && after <= baseAfter) return base;
    return 2 * Max(Max(before, baseBefore), Max(after, baseAfter));
}
}  // namespace

int32_t LabelGapFor(int32_t targetHeight) {
    if (targetHeight <= 0) return 0;
    int64_t scaled = (int64_t)targetHeight * kLabelGapAtReference + kLabelReferenceHeight / 2;
    return (int32_t)(scaled / kLabelReferenceHeight);
}

LabelBox PlaceLabel(int32_t canvasWidth, int32_t canvasHeight, int32_t maskWidth,
                    int32_t maskHeight, int32_t gap) {
    LabelBox box;
    box.width = maskWidth + 2 * kLabelOutline;
    box.height = maskHeight + 2 * kLabelOutline;
    box.left = canvasWidth / 2 - box.width / 2;
    box.top = canvasHeight / 2 + gap;
    return box;
}

CanvasSize CanvasForLabel(int32_t baseWidth, int32_t baseHeight, int32_t maskWidth,
                          int32_t maskHeight, int32_t gap) {
    if (maskWidth <= 0 || maskHeight <= 0) return {baseWidth, baseHeight};
    LabelBox box = PlaceLabel(0, 0, maskWidth, maskHeight, gap);
    // With the centre at 0 the box's edges are the extents themselves.
    return {GrowAxis(baseWidth, -box.left, box.left + box.width),
            GrowAxis(baseHeight, -box.top, box.top + box.height)};
}

void ComposeLabel(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight, uint32_t* pixels,
                  int32_t canvasWidth, int32_t canvasHeight, const LabelBox& box) {
    if (!mask || !pixels || maskWidth <= 0 || maskHeight <= 0) return;
    for (int32_t by = 0; by < box.height; ++by) {
        int32_t y = box.top + by;
        if (y < 0 || y >= canvasHeight) continue;
        for (int32_t bx = 0; bx < box.width; ++bx) {
            int32_t x = box.left + bx;
            if (x < 0 || x >= canvasWidth) continue;
            int32_t mx = bx - kLabelOutline, my = by - kLabelOutline;
            uint32_t* pixel = pixels + (int64_t)y * canvasWidth + x;
            if (IsText(mask, maskWidth, maskHeight, mx, my)) {
                *pixel = kLabelTextPixel;
            } else if (TouchesText(mask, maskWidth, maskHeight, mx, my)) {
                *pixel = kLabelOutlinePixel;
            }
        }
    }
}
