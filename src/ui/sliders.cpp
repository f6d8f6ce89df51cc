// The slider rows of the crosshair tab and the rules between positions,
// fields and value labels.
#include "ui/sliders.h"

#include "base/wtext.h"
#include "base/ids.h"
#include "ui/trackbar.h"

const SliderRow kSliderRows[kSliderCount] = {
    {134, L"Tamanho", kIdSliderSize, kIdLabelSize, -10, 20, false, kSliderHalves, L"%.1f"},
    {164, L"Espaçamento", kIdSliderGap, kIdLabelGap, -20, 20, false, kSliderHalves, L"%.1f"},
    {194, L"Espessura", kIdSliderThickness, kIdLabelThickness, 0, 10, false, kSliderHalves,
     L"%.1f"},
    {224, L"Contorno", kIdSliderOutline, kIdLabelOutline, 1, 6, true, kSliderHalves, L"%.1f"},
    {254, L"Opacidade", kIdSliderAlpha, kIdLabelAlpha, 0, 255, false, kSliderByte, L"%d"},
    {284, L"Posição X", kIdSliderOffsetX, kIdLabelOffsetX, -100, 100, false, kSliderPixels,
     L"%d px"},
    {314, L"Posição Y", kIdSliderOffsetY, kIdLabelOffsetY, -100, 100, false, kSliderPixels,
     L"%d px"},
};

namespace {

const float kHalfStep = 0.5f;
const int32_t kByteMask = 0xFF;

float* HalfField(int32_t trackbarId, CrosshairSettings* crosshair) {
    switch (trackbarId) {
    case kIdSliderSize: return &crosshair->size;
    case kIdSliderGap: return &crosshair->gap;
    case kIdSliderThickness: return &crosshair->thickness;
    case kIdSliderOutline: return &crosshair->outlineThickness;
    }
    return nullptr;
}

int32_t* PixelField(int32_t trackbarId, CrosshairSettings* crosshair) {
    switch (trackbarId) {
    case kIdSliderOffsetX: return &crosshair->offsetX;
    case kIdSliderOffsetY: return &crosshair->offsetY;
    }
    return nullptr;
}

// Reading goes through the same switches, over a copy of the small record.
float HalfValue(int32_t trackbarId, CrosshairSettings crosshair) {
    float* field = HalfField(trackbarId, &crosshair);
    return field ? *field : 0.0f;
}

int32_t PixelValue(int32_t trackbarId, CrosshairSettings crosshair) {
    int32_t* field = PixelField(trackbarId, &crosshair);
    return field ? *field : 0;
}

}  // namespace

const SliderRow* FindSliderRow(int32_t trackbarId) {
    for (const SliderRow& row : kSliderRows) {
        if (row.trackbarId == trackbarId) return &row;
    }
    return nullptr;
}

void StoreSliderPosition(const SliderRow& row, int32_t position, CrosshairSettings* crosshair) {
    switch (row.kind) {
    case kSliderHalves: {
        float* field = HalfField(row.trackbarId, crosshair);
        if (field) *field = (float)position * kHalfStep;
        break;
    }
    case kSliderByte: crosshair->alpha = (uint8_t)(position & kByteMask); break;
    case kSliderPixels: {
        int32_t* field = PixelField(row.trackbarId, crosshair);
        if (field) *field = position;
        break;
    }
    }
}

int32_t SliderPositionFor(const SliderRow& row, const CrosshairSettings& crosshair) {
    switch (row.kind) {
    case kSliderHalves: return TrackbarPositionFor(HalfValue(row.trackbarId, crosshair));
    case kSliderByte: return crosshair.alpha;
    case kSliderPixels: return PixelValue(row.trackbarId, crosshair);
    }
    return 0;
}

void FormatSliderLabel(const SliderRow& row, const CrosshairSettings& crosshair, wchar_t* buf,
                       size_t count) {
    switch (row.kind) {
    case kSliderHalves:
        FormatW(buf, count, row.labelFormat, (double)HalfValue(row.trackbarId, crosshair));
        break;
    case kSliderByte: FormatW(buf, count, row.labelFormat, (int)crosshair.alpha); break;
    case kSliderPixels:
        FormatW(buf, count, row.labelFormat, (int)PixelValue(row.trackbarId, crosshair));
        break;
    }
}
