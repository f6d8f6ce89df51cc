// The slider rows of the settings window and the rules between positions,
// fields, value labels and the crosshair worn.
#include "ui/sliders.h"

#include <stddef.h>

#include "base/wtext.h"
#include "base/ids.h"
#include "ui/trackbar.h"

// One step of a kSliderTens trackbar, in its field's units.
enum { kSliderTensStep = 10 };

#define FIELD(name) offsetof(CrosshairSettings, name)
const SliderRow kSliderRows[kSliderCount] = {
    {kTagCrosshair, 134, L"Tamanho", kIdSliderSize, kIdLabelSize, -10, 20, false, kSliderHalves,
     FIELD(size), L"%.1f", kAppliesDrawn},
    {kTagCrosshair, 164, L"Espaçamento", kIdSliderGap, kIdLabelGap, -20, 20, false, kSliderHalves,
     FIELD(gap), L"%.1f", kAppliesDrawn},
    {kTagCrosshair, 194, L"Espessura", kIdSliderThickness, kIdLabelThickness, 0, 10, false,
     kSliderHalves, FIELD(thickness), L"%.1f", kAppliesDrawn},
    {kTagCrosshair, 224, L"Contorno", kIdSliderOutline, kIdLabelOutline, 1, 6, true,
     kSliderHalves, FIELD(outlineThickness), L"%.1f", kAppliesDrawn},
    {kTagCrosshair, 254, L"Opacidade", kIdSliderAlpha, kIdLabelAlpha, 0, 255, false, kSliderByte,
     FIELD(alpha), L"%d", kAppliesBoth},
    {kTagCrosshair, 284, L"Posição X", kIdSliderOffsetX, kIdLabelOffsetX, -100, 100, false,
     kSliderPixels, FIELD(offsetX), L"%d px", kAppliesBoth},
    {kTagCrosshair, 314, L"Posição Y", kIdSliderOffsetY, kIdLabelOffsetY, -100, 100, false,
     kSliderPixels, FIELD(offsetY), L"%d px", kAppliesBoth},
    {kTagImage, 248, L"Escala", kIdSliderImageScale, kIdLabelImageScale,
     kImageScaleMin / kSliderTensStep, kImageScaleMax / kSliderTensStep, false, kSliderTens,
     FIELD(imageScale), L"%d %%", kAppliesImage},
};
#undef FIELD

namespace {

const float kHalfStep = 0.5f;

// The scale an image is drawn at, whatever the file held.
int32_t DrawnImageScale(int32_t percent) {
    if (percent < kImageScaleMin) return kImageScaleMin;
    if (percent > kImageScaleMax) return kImageScaleMax;
    return percent;
}

template <typename T>
T* FieldOf(const SliderRow& row, CrosshairSettings* crosshair) {
    return reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(crosshair) + row.field);
}

template <typename T>
T FieldValue(const SliderRow& row, const CrosshairSettings& crosshair) {
    return *reinterpret_cast<const T*>(reinterpret_cast<const unsigned char*>(&crosshair) +
                                       row.field);
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
    case kSliderHalves: *FieldOf<float>(row, crosshair) = (float)position * kHalfStep; break;
    // The trackbar's range keeps the position a byte; the cast keeps its low 8 bits.
    case kSliderByte: *FieldOf<uint8_t>(row, crosshair) = (uint8_t)position; break;
    case kSliderPixels: *FieldOf<int32_t>(row, crosshair) = position; break;
    case kSliderTens: *FieldOf<int32_t>(row, crosshair) = position * kSliderTensStep; break;
    }
}

int32_t SliderPositionFor(const SliderRow& row, const CrosshairSettings& crosshair) {
    switch (row.kind) {
    case kSliderHalves: return TrackbarPositionFor(FieldValue<float>(row, crosshair));
    case kSliderByte: return FieldValue<uint8_t>(row, crosshair);
    case kSliderPixels: return FieldValue<int32_t>(row, crosshair);
    case kSliderTens: return FieldValue<int32_t>(row, crosshair) / kSliderTensStep;
    }
    return 0;
}

void FormatSliderLabel(const SliderRow& row, const CrosshairSettings& crosshair, wchar_t* buf,
                       size_t count) {
    switch (row.kind) {
    case kSliderHalves:
        FormatW(buf, count, row.labelFormat, (double)FieldValue<float>(row, crosshair));
        break;
    case kSliderByte:
        FormatW(buf, count, row.labelFormat, (int)FieldValue<uint8_t>(row, crosshair));
        break;
    case kSliderPixels:
        FormatW(buf, count, row.labelFormat, (int)FieldValue<int32_t>(row, crosshair));
        break;
    case kSliderTens:
        FormatW(buf, count, row.labelFormat,
                (int)DrawnImageScale(FieldValue<int32_t>(row, crosshair)));
        break;
    }
}

bool SliderEnabled(const SliderRow& row, const CrosshairSettings& crosshair) {
    bool image = CrosshairUsesImage(crosshair);
    bool applies = row.applies == kAppliesBoth || (row.applies == kAppliesImage) == image;
    return applies && (!row.checkBox || crosshair.outline != 0);
}
