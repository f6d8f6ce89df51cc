// The built-in crosshairs, the named colours and the rasterizer that draws a
// crosshair as axis-aligned rectangles through a one-byte-per-pixel coverage mask.
#include "crosshair/crosshair.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "base/wtext.h"

const BuiltinPreset kBuiltinPresets[kBuiltinPresetCount] = {
    // name, {size, gap, thickness, outline, outlineThickness, dot, tStyle, r, g, b, a, offsets}
    {L"Zavik Padrão", {-1.5f, -3.0f, 1.0f, 1, 1.0f, 0, 0, 255, 255, 255, 255, 0, 0}},
    {L"Ponto branco", {0.0f, 0.0f, 1.0f, 0, 0.0f, 1, 0, 255, 255, 255, 255, 0, 0}},
    {L"Cruz branca", {1.0f, -4.0f, 1.0f, 0, 0.0f, 0, 0, 255, 255, 255, 255, 0, 0}},
    {L"Cruz branca vazada", {-1.5f, -5.0f, 1.0f, 0, 0.0f, 0, 0, 255, 255, 255, 255, 0, 0}},
};

const ColourPreset kColourPresets[kColourPresetCount] = {
    {L"Branco", 255, 255, 255}, {L"Verde", 50, 250, 50},  {L"Amarelo", 250, 250, 50},
    {L"Ciano", 0, 255, 255},    {L"Azul", 50, 50, 250},   {L"Vermelho", 250, 50, 50},
    {L"Rosa", 255, 64, 200},
};

const wchar_t kColourCustomName[] = L"Personalizada";

int FindColourPresetIndexOf(uint8_t red, uint8_t green, uint8_t blue) {
    for (int i = 0; i < kColourPresetCount; ++i) {
        const ColourPreset& row = kColourPresets[i];
        if (row.red == red && row.green == green && row.blue == blue) return i;
    }
    return kColourCustomIndex;
}

bool CrosshairUsesImage(const CrosshairSettings& settings) { return settings.image[0] != 0; }

void SetCrosshairImage(CrosshairSettings* settings, const wchar_t* name) {
    memset(settings->image, 0, sizeof settings->image);
    if (name && LengthW(name, kImageNameChars) < kImageNameChars)
        CopyW(settings->image, kImageNameChars, name);
}

int RoundHalfAway(float v) {
    if (v != v) return 0;
    if (v >= (float)kPixelLimit) return kPixelLimit;
    if (v <= -(float)kPixelLimit) return -kPixelLimit;
    return (int)roundf(v);  // roundf takes halfway cases away from zero
}

namespace {

const int32_t kMinDotSide = 2;

enum MaskValue : uint8_t { kMaskEmpty = 0, kMaskOutline = 1, kMaskCrosshair = 2 };
enum { kArmCount = 4, kTStyleArmCount = 3, kLowerArm = 2, kUpperArm = 3 };

int CeilingClamped(float v) {
    if (v != v) return 0;
    if (v >= (float)kPixelLimit) return kPixelLimit;
    if (v <= -(float)kPixelLimit) return -kPixelLimit;
    return (int)ceilf(v);
}

// Rectangles are kept in 64 bits until clipped: with every measure limited
// to kPixelLimit, no sum of centre, gap, length and outline can overflow.
struct Rect64 {
    int64_t x0, y0, x1, y1;
};

// A half-open rectangle already clipped to the buffer.
struct Box {
    int32_t x0, y0, x1, y1;
};

int32_t ClampToRange(int64_t v, int32_t low, int32_t high) {
    if (v < low) return low;
    if (v > high) return high;
    return (int32_t)v;
}

// Clips r to bounds; false when nothing is left.
bool ClipTo(const Rect64& r, const Box& bounds, Box* out) {
    out->x0 = ClampToRange(r.x0, bounds.x0, bounds.x1);
    out->x1 = ClampToRange(r.x1, bounds.x0, bounds.x1);
    out->y0 = ClampToRange(r.y0, bounds.y0, bounds.y1);
    out->y1 = ClampToRange(r.y1, bounds.y0, bounds.y1);
    return out->x1 > out->x0 && out->y1 > out->y0;
}

Box WholeBuffer(int32_t w, int32_t h) {
    Box b = {0, 0, w, h};
    return b;
}

void Include(Box* bounds, bool* any, const Box& b) {
    if (!*any) {
        *bounds = b;
        *any = true;
        return;
    }
    if (b.x0 < bounds->x0) bounds->x0 = b.x0;
    if (b.y0 < bounds->y0) bounds->y0 = b.y0;
    if (b.x1 > bounds->x1) bounds->x1 = b.x1;
    if (b.y1 > bounds->y1) bounds->y1 = b.y1;
}

// The coverage mask of one call. It covers only the box around everything the
// crosshair can reach, so a render costs little more than the clear of the
// pixel buffer; everything outside keeps the clear's 0.
struct CoverageMask {
    uint8_t* cells;
    Box area;
    size_t stride;
};

uint8_t* CellAt(const CoverageMask& mask, int32_t x, int32_t y) {
    return mask.cells + (size_t)(y - mask.area.y0) * mask.stride + (size_t)(x - mask.area.x0);
}

void FillRect(CoverageMask* mask, const Rect64& r, uint8_t value) {
    Box b;
    if (!ClipTo(r, mask->area, &b)) return;
    for (int32_t y = b.y0; y < b.y1; ++y) memset(CellAt(*mask, b.x0, y), value, (size_t)(b.x1 - b.x0));
}

// Cells of r holding from become to; other cells keep their value.
void ReplaceInRect(CoverageMask* mask, const Rect64& r, uint8_t from, uint8_t to) {
    Box b;
    if (!ClipTo(r, mask->area, &b)) return;
    const int32_t width = b.x1 - b.x0;
    for (int32_t y = b.y0; y < b.y1; ++y) {
        uint8_t* row = CellAt(*mask, b.x0, y);
        for (int32_t x = 0; x < width; ++x) row[x] = row[x] == from ? to : row[x];
    }
}

Rect64 Normalised(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    Rect64 r = {x0, y0, x1, y1};
    if (r.x1 < r.x0) { r.x0 = x1; r.x1 = x0; }
    if (r.y1 < r.y0) { r.y0 = y1; r.y1 = y0; }
    return r;
}

Rect64 Grown(const Rect64& r, int64_t by) {
    Rect64 g = {r.x0 - by, r.y0 - by, r.x1 + by, r.y1 + by};
    return g;
}

int32_t GapPixels(float hf, float gap) {
    const float base = hf * kGapBaseFactor;
    const float baseGap = base / kGapBaseDivisor;
    const float total = baseGap + gap;
    return CeilingClamped(total);
}

// Everything one render draws, in buffer coordinates, before any clipping.
struct CrosshairLayout {
    Rect64 arms[kArmCount];
    int armCount;
    int32_t outline;  // O
    bool dot;
    Rect64 dotSquare;
    Rect64 centreBlock;  // where the arms cross, T x T
};

// Lays out the arms in draw order and returns how many are drawn.
int LayOutArms(const CrosshairSettings& s, const CrosshairPixels& m, int64_t cx, int64_t cy,
               Rect64 arms[kArmCount]) {
    if (m.length == 0) return 0;
    const int64_t g = m.gap;
    const int64_t len = m.length;
    const int64_t t = m.thickness;
    const int64_t half = m.thickness / 2;
    const int64_t odd = m.thickness & 1;
    arms[0] = Normalised(cx + odd + g, cy - half, cx + odd + g + len, cy - half + t);
    arms[1] = Normalised(cx - g - len, cy - half, cx - g, cy - half + t);
    arms[kLowerArm] = Normalised(cx - half, cy + odd + g, cx - half + t, cy + odd + g + len);
    arms[kUpperArm] = Normalised(cx - half, cy - g - len, cx - half + t, cy - g);
    if (s.tStyle == 0) return kArmCount;
    // Whichever vertical arm lies higher on the screen goes; with negative
    // lengths that is the one laid out as the lower arm.
    if (arms[kLowerArm].y0 + arms[kLowerArm].y1 < arms[kUpperArm].y0 + arms[kUpperArm].y1) {
        arms[kLowerArm] = arms[kUpperArm];
    }
    return kTStyleArmCount;
}

CrosshairLayout LayOut(const CrosshairSettings& s, int32_t referenceHeight, int32_t w, int32_t h) {
    const CrosshairPixels m = MeasureCrosshair(s, referenceHeight);
    const int64_t cx = w / 2;
    const int64_t cy = h / 2;
    CrosshairLayout layout;
    layout.armCount = LayOutArms(s, m, cx, cy, layout.arms);
    layout.outline = m.outline;
    layout.dot = s.dot != 0;
    const int64_t side = m.thickness > kMinDotSide ? m.thickness : kMinDotSide;
    const int64_t dotHalf = side / 2;
    layout.dotSquare = {cx - dotHalf, cy - dotHalf, cx - dotHalf + side, cy - dotHalf + side};
    const int64_t half = m.thickness / 2;
    const int64_t t = m.thickness;
    layout.centreBlock = {cx - half, cy - half, cx - half + t, cy - half + t};
    return layout;
}

// The part of the buffer that the layout can write; false when it draws nothing.
bool DrawnBounds(const CrosshairLayout& layout, int32_t w, int32_t h, Box* bounds) {
    const Box buffer = WholeBuffer(w, h);
    bool any = false;
    Box b;
    for (int i = 0; i < layout.armCount; ++i) {
        if (ClipTo(Grown(layout.arms[i], layout.outline), buffer, &b)) Include(bounds, &any, b);
    }
    if (layout.dot && ClipTo(Grown(layout.dotSquare, layout.outline), buffer, &b)) {
        Include(bounds, &any, b);
    }
    return any;
}

void Draw(CoverageMask* mask, const CrosshairLayout& layout) {
    // Every outline goes down before any arm, so an arm always covers the
    // outline of its neighbour where they meet.
    if (layout.outline > 0) {
        for (int i = 0; i < layout.armCount; ++i) {
            FillRect(mask, Grown(layout.arms[i], layout.outline), kMaskOutline);
        }
    }
    for (int i = 0; i < layout.armCount; ++i) FillRect(mask, layout.arms[i], kMaskCrosshair);
    if (layout.dot) {
        // The dot's ring only fills empty cells, so it never cuts into an arm.
        if (layout.outline > 0) {
            ReplaceInRect(mask, Grown(layout.dotSquare, layout.outline), kMaskEmpty, kMaskOutline);
        }
        FillRect(mask, layout.dotSquare, kMaskCrosshair);
    } else {
        // Without a dot the arms' outlines are cut out of the crossing point.
        ReplaceInRect(mask, layout.centreBlock, kMaskOutline, kMaskEmpty);
    }
}

uint32_t Premultiplied(uint8_t component, uint8_t alpha) {
    return (uint32_t)component * alpha / 255u;
}

enum { kChunkCells = 8 };
const uint64_t kEmptyChunk = 0;
const uint64_t kOutlineChunk = 0x0101010101010101ull * kMaskOutline;
const uint64_t kCrosshairChunk = 0x0101010101010101ull * kMaskCrosshair;

// Selects without branches.
inline uint32_t CellValue(uint8_t cell, uint32_t crosshairValue, uint32_t outlineValue) {
    const uint32_t isCrosshair = 0u - (uint32_t)(cell == kMaskCrosshair);
    const uint32_t isOutline = 0u - (uint32_t)(cell == kMaskOutline);
    return (isCrosshair & crosshairValue) | (isOutline & outlineValue);
}

void ColourCells(const uint8_t* cells, uint32_t* row, int32_t count, uint32_t crosshairValue,
                 uint32_t outlineValue) {
    for (int32_t x = 0; x < count; ++x) row[x] = CellValue(cells[x], crosshairValue, outlineValue);
}

void FillPixels(uint32_t* row, uint32_t value) {
    for (int i = 0; i < kChunkCells; ++i) row[i] = value;
}

// Most runs of eight cells inside an arm or its outline hold one value:
// those are written without looking at each cell.
void ColourBox(const CoverageMask& mask, const Box& b, uint32_t crosshairValue,
               uint32_t outlineValue, uint32_t* pixels, int32_t w) {
    const int32_t width = b.x1 - b.x0;
    for (int32_t y = b.y0; y < b.y1; ++y) {
        const uint8_t* cells = CellAt(mask, b.x0, y);
        uint32_t* row = pixels + (size_t)y * (size_t)w + (size_t)b.x0;
        int32_t x = 0;
        for (; x + kChunkCells <= width; x += kChunkCells) {
            uint64_t chunk;
            memcpy(&chunk, cells + x, sizeof(chunk));
            if (chunk == kEmptyChunk) {
                FillPixels(row + x, 0);
            } else if (chunk == kCrosshairChunk) {
                FillPixels(row + x, crosshairValue);
            } else if (chunk == kOutlineChunk) {
                FillPixels(row + x, outlineValue);
            } else {
                ColourCells(cells + x, row + x, kChunkCells, crosshairValue, outlineValue);
            }
        }
        ColourCells(cells + x, row + x, width - x, crosshairValue, outlineValue);
    }
}

// Writes every pixel of the mask's area, the empty ones as 0.
void Colour(const CoverageMask& mask, const CrosshairSettings& s, uint32_t* pixels, int32_t w) {
    const uint32_t a = s.alpha;
    const uint32_t outlineValue = a << 24;
    const uint32_t crosshairValue = outlineValue | (Premultiplied(s.red, s.alpha) << 16) |
                                    (Premultiplied(s.green, s.alpha) << 8) |
                                    Premultiplied(s.blue, s.alpha);
    ColourBox(mask, mask.area, crosshairValue, outlineValue, pixels, w);
}

// Clears every pixel outside area. The pixels inside are written once, by the
// colouring pass: clearing them too would cost a second write, and on some
// processors a large clear leaves those lines out of the cache for it.
void ClearOutside(uint32_t* pixels, int32_t w, int32_t h, const Box& area) {
    const size_t width = (size_t)w;
    memset(pixels, 0, (size_t)area.y0 * width * sizeof(uint32_t));
    for (int32_t y = area.y0; y < area.y1; ++y) {
        uint32_t* row = pixels + (size_t)y * width;
        memset(row, 0, (size_t)area.x0 * sizeof(uint32_t));
        memset(row + area.x1, 0, (size_t)(w - area.x1) * sizeof(uint32_t));
    }
    memset(pixels + (size_t)area.y1 * width, 0, (size_t)(h - area.y1) * width * sizeof(uint32_t));
}

}  // namespace

// Each operation is its own float statement, so the compiler can neither keep
// a wider intermediate nor fuse a multiply into an add: the gap at 1080 with
// -3.6 must come out 0, as single precision gives it.
CrosshairPixels MeasureCrosshair(const CrosshairSettings& s, int32_t referenceHeight) {
    CrosshairPixels m;
    const float hf = (float)referenceHeight;
    const float scale = hf / kUnitsPerHeight;
    const float length = s.size * scale;
    m.length = RoundHalfAway(length);
    const float thickness = scale * s.thickness;
    m.thickness = RoundHalfAway(thickness);
    if (m.thickness <= 0) m.thickness = 1;
    // Without arms the gap is never computed, so it cannot matter.
    m.gap = m.length != 0 ? GapPixels(hf, s.gap) : 0;
    m.outline = 0;
    if (s.outline != 0) {
        m.outline = RoundHalfAway(s.outlineThickness);
        if (m.outline <= 0) m.outline = 1;
    }
    return m;
}

void FillMaskRect(uint8_t* mask, int32_t w, int32_t h, int32_t x0, int32_t y0, int32_t x1,
                  int32_t y1, uint8_t value) {
    if (!mask || w <= 0 || h <= 0) return;
    CoverageMask whole = {mask, WholeBuffer(w, h), (size_t)w};
    const Rect64 r = {x0, y0, x1, y1};
    FillRect(&whole, r, value);
}

void RenderCrosshair(const CrosshairSettings& settings, uint32_t* pixels, int32_t w, int32_t h,
                     int32_t referenceHeight) {
    if (!pixels || w <= 0 || h <= 0) return;
    const size_t bufferBytes = (size_t)w * (size_t)h * sizeof(uint32_t);
    const CrosshairLayout layout = LayOut(settings, referenceHeight, w, h);
    CoverageMask mask;
    if (!DrawnBounds(layout, w, h, &mask.area)) {  // nothing reaches the buffer
        memset(pixels, 0, bufferBytes);
        return;
    }
    mask.stride = (size_t)(mask.area.x1 - mask.area.x0);
    mask.cells = (uint8_t*)calloc(mask.stride * (size_t)(mask.area.y1 - mask.area.y0), 1);
    if (!mask.cells) {  // stays cleared until the next call
        memset(pixels, 0, bufferBytes);
        return;
    }
    ClearOutside(pixels, w, h, mask.area);
    Draw(&mask, layout);
    Colour(mask, settings, pixels, w);
    free(mask.cells);
}
