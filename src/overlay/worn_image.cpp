// The worn image of the current crosshair and the render shared by the
// overlay and the preview.
#include "overlay/worn_image.h"

#include "overlay/placement.h"
#include "state/records.h"
#include "storage/images.h"

namespace {
WornImage g_worn;
}  // namespace

const CrosshairImage* CurrentWornImage() {
    return UpdateWornImage(&g_worn, g_paths.folder, g_crosshair) ? &g_worn.image : nullptr;
}

void AdoptChosenImage(const wchar_t* name, CrosshairImage* image) {
    AdoptWornImage(&g_worn, name, image);
}

void ReleaseCurrentWornImage() { ReleaseWornImage(&g_worn); }

int32_t CurrentCanvasSide(int32_t referenceHeight) {
    const CrosshairImage* image = CurrentWornImage();
    if (!image) return kOverlaySize;
    ImageDrawSize drawn =
        MeasureImage(image->width, image->height, referenceHeight, g_crosshair.imageScale);
    return OverlaySideFor(drawn.width, drawn.height);
}

void RenderCurrentCrosshair(uint32_t* pixels, int32_t w, int32_t h, int32_t referenceHeight) {
    const CrosshairImage* image = CurrentWornImage();
    if (image) {
        RenderImage(*image, referenceHeight, g_crosshair.imageScale, g_crosshair.alpha, pixels, w,
                    h);
    } else {
        RenderCrosshair(g_crosshair, pixels, w, h, referenceHeight);
    }
}
