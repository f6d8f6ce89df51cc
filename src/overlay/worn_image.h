// The image the current crosshair wears, kept decoded for the overlay and the
// preview, and the one render both use: the image while it can be drawn, the
// drawn crosshair otherwise (no image, or its file is missing or damaged).
// Portable: the records and the image folder only.
#pragma once
#include <stdint.h>

#include "crosshair/image.h"

// The decoded image of the current crosshair, read from the image folder once
// per name; null while the crosshair wears none or its file cannot be read.
const CrosshairImage* CurrentWornImage();
// A chosen image, decoded already, becomes the one kept for name, so that a
// choice shows without reading the file again (and a name whose file was
// missing until now is drawn).
void AdoptChosenImage(const wchar_t* name, CrosshairImage* image);
void ReleaseCurrentWornImage();

// The side of the square canvas the current crosshair needs at a target
// height: kOverlaySize, or more while a worn image is drawn larger.
int32_t CurrentCanvasSide(int32_t referenceHeight);
// Overwrites the w x h canvas with the current crosshair centred on
// (w / 2, h / 2): the worn image at its scale and opacity, or the drawn one.
void RenderCurrentCrosshair(uint32_t* pixels, int32_t w, int32_t h, int32_t referenceHeight);
