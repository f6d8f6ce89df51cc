// The crosshair record, the built-in crosshairs, the named colours and the
// rasterizer that turns a crosshair into premultiplied BGRA pixels.
#pragma once
#include <stdint.h>
#include <stddef.h>

#include "crosshair/image.h"

enum { kImageNameChars = 128 };  // a stored image name, terminator included

struct CrosshairSettings {
    float size;              // arm length in crosshair units (negative turns arms inwards)
    float gap;               // centre-to-arm distance in crosshair units
    float thickness;         // arm width in crosshair units
    int32_t outline;         // flag: any non-zero value draws a black outline
    float outlineThickness;  // outline width in screen pixels (not scaled)
    int32_t dot;             // flag: centre dot
    int32_t tStyle;          // flag: leave out the upper arm
    uint8_t red, green, blue, alpha;
    int32_t offsetX, offsetY;  // shift of the whole window in screen pixels
    // An image worn instead of the drawn crosshair: its file name inside the
    // settings folder's "imagens" (empty: the drawn crosshair) and its size in
    // percent. No crosshair code carries them.
    wchar_t image[kImageNameChars] = {};
    int32_t imageScale = kImageScaleDefault;
};

// True while the crosshair is an image.
bool CrosshairUsesImage(const CrosshairSettings& settings);
// Sets the image name (null or empty: the drawn crosshair). The whole buffer
// is rewritten, so records holding the same name compare equal byte for byte;
// a name that does not fit counts as none, since a cut name is another file.
void SetCrosshairImage(CrosshairSettings* settings, const wchar_t* name);

struct BuiltinPreset {
    const wchar_t* name;
    CrosshairSettings settings;
};

struct ColourPreset {
    const wchar_t* name;
    uint8_t red, green, blue;
};

enum {
    kBuiltinPresetCount = 4,
    kColourPresetCount = 7,
    kColourCustomIndex = kColourPresetCount,  // "Personalizada", listed after the named colours
};

extern const BuiltinPreset kBuiltinPresets[kBuiltinPresetCount];
extern const ColourPreset kColourPresets[kColourPresetCount];
extern const wchar_t kColourCustomName[];  // "Personalizada"

// Index of the first named colour equal to (red, green, blue), or kColourCustomIndex.
int FindColourPresetIndexOf(uint8_t red, uint8_t green, uint8_t blue);

// Crosshair units: one unit is referenceHeight / 480 pixels; the gap adds a
// fixed 4/1200 of the height on top of the stored value. The import of sizes
// given in pixels inverts exactly this.
constexpr float kUnitsPerHeight = 480.0f;
constexpr float kGapBaseFactor = 4.0f;
constexpr float kGapBaseDivisor = 1200.0f;

// Rounding rules of the rasterizer, exposed for the settings window and tests.
int RoundHalfAway(float v);   // 2.5 -> 3, -2.5 -> -3; NaN -> 0; clamps to +-kPixelLimit
enum { kPixelLimit = 1 << 20 };  // pixel measures beyond this are clamped: no overflow

// The pixel measures a crosshair is drawn with at a reference height, exactly
// as the rasterizer computes them: arm length (signed, 0 draws no arms), arm
// thickness (at least 1), gap (only computed with arms; 0 without) and outline
// width (0 without outline). Writers of pixel sizes use it to agree with the drawing.
struct CrosshairPixels {
    int32_t length, thickness, gap, outline;
};
CrosshairPixels MeasureCrosshair(const CrosshairSettings& settings, int32_t referenceHeight);

// Sets every mask cell of [x0, x1) x [y0, y1), clipped to w x h, to value.
void FillMaskRect(uint8_t* mask, int32_t w, int32_t h, int32_t x0, int32_t y0, int32_t x1,
                  int32_t y1, uint8_t value);

// Overwrites all w x h pixels (top row first, value A<<24|R<<16|G<<8|B,
// premultiplied) with the crosshair centred on (w / 2, h / 2), scaled for a
// target area referenceHeight pixels high. Makes one zero-filled allocation,
// the coverage mask of the box the crosshair can reach, and frees it; when
// nothing reaches the buffer or the allocation fails the buffer ends cleared.
void RenderCrosshair(const CrosshairSettings& settings, uint32_t* pixels, int32_t w, int32_t h,
                     int32_t referenceHeight);
