// The slider rows of the crosshair tab and the rules between positions,
// fields and value labels.
#include "ui/sliders.h"

#include <stddef.h>

#include "base/wtext.h"
#include "base/ids.h"
#include "ui/trackbar.h"

#define FIELD(name) offsetof(CrosshairSettings, name)
const SliderRow kSliderRows[kSliderCount] = {
    {134, L"Tamanho", kIdSliderSize, kIdLabelSize, -10, 20, false, kSliderHalves, FIELD(size),
     L"%.1f"},
    {164, L"Espaçamento", kIdSliderGap, kIdLabelGap, -20, 20, false, kSliderHalves, FIELD(gap),
     L"%.1f"},
    {194, L"Espessura", kIdSliderThickness, kIdLabelThickness, 0, 10, false, kSliderHalves,
     FIELD(thickness), L"%.1f"},
    {224, L"Contorno", kIdSliderOutline, kIdLabelOutline, 1, 6, true, kSliderHalves,
     FIELD(outlineThickness), L"%.1f"},
    {254, L"Opacidade", kIdSliderAlpha, kIdLabelAlpha, 0, 255, false, kSliderByte, FIELD(alpha),
     L"%d"},
    {284, L"Posição X", kIdSliderOffsetX, kIdLabelOffsetX, -100, 100, false, kSliderPixels,
     FIELD(offsetX), L"%d px"},
    {314, L"Posição Y", kIdSliderOffsetY, kIdLabelOffsetY, -100, 100, false, kSliderPixels,
     FIELD(offsetY), L"%d px"},
};
#undef FIELD

namespace {

const float kHalfStep = 0.5f;

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
    }
}

int32_t SliderPositionFor(const SliderRow& row, const CrosshairSettings& crosshair) {
    switch (row.kind) {
    case kSliderHalves: return TrackbarPositionFor(FieldValue<float>(row, crosshair));
    case kSliderByte: return FieldValue<uint8_t>(row, crosshair);
    case kSliderPixels: return FieldValue<int32_t>(row, crosshair);
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
    }
}
