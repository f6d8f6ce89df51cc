// The crosshair's name shown for a moment after a switch by the hotkey, drawn
// into the overlay's own pixels so that no window is added over the game:
// white text with a one-pixel black outline, centred below the crosshair.
// Portable: the text's coverage mask comes from GDI (name_label_win.h).
#pragma once
#include <stdint.h>

#include "crosshair/image.h"

enum {
    kLabelGapAtReference = 40,      // label top below the crosshair centre at 1080 lines
    kLabelReferenceHeight = kNativeScreenHeight,
    kLabelOutline = 1,              // outline pixels on every side of the text
    kLabelShowMs = 1500,            // how long a switch shows the name
    kLabelCoverageText = 128,       // mask values from here up are text
    kLabelMaxChars = 64,            // longer names are cut (list lines hold at most 63)
};

// Pixels between the crosshair centre and the label's top for a target
// height: 40 at 1080 lines, in proportion, halves rounded up; 0 without height.
int32_t LabelGapFor(int32_t targetHeight);

// Where the label box (the mask plus its outline) lies on a canvas whose pixel
// (width / 2, height / 2) is the crosshair centre: centred across, its top gap
// pixels below the centre.
struct LabelBox {
    int32_t left, top, width, height;
};
LabelBox PlaceLabel(int32_t canvasWidth, int32_t canvasHeight, int32_t maskWidth,
                    int32_t maskHeight, int32_t gap);

// The canvas that holds both the crosshair's canvas (baseWidth x baseHeight,
// 320 x 320 for the drawn crosshair) and the label, its centre still on the
// crosshair centre. The base comes back unchanged when the label fits in it
// or there is no label (an empty mask); otherwise each grown side is even.
struct CanvasSize {
    int32_t width, height;
};
CanvasSize CanvasForLabel(int32_t baseWidth, int32_t baseHeight, int32_t maskWidth,
                          int32_t maskHeight, int32_t gap);

// Composes the label into pixels (canvasWidth x canvasHeight, top row first,
// premultiplied A<<24|R<<16|G<<8|B) over what is there: mask pixels of
// coverage 128 and more become opaque white, every other pixel of the box that
// touches one of them (eight neighbours) opaque black; the rest of the box and
// everything outside it keep the crosshair. mask is maskWidth x maskHeight,
// top row first; the box is clipped to the canvas.
void ComposeLabel(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight, uint32_t* pixels,
                  int32_t canvasWidth, int32_t canvasHeight, const LabelBox& box);
