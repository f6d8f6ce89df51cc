// The seven sliders of the crosshair tab as data: where each row sits, its
// range, the crosshair field it moves and how its value label reads. Portable,
// so the position and label rules are tested without Windows.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "crosshair/crosshair.h"

// How a position maps to its field: half units (x 0.5), a byte, or whole pixels.
enum SliderKind { kSliderHalves, kSliderByte, kSliderPixels };

struct SliderRow {
    int32_t y;  // row top in 96-DPI units
    const wchar_t* caption;
    int32_t trackbarId, labelId;
    int32_t minimum, maximum;
    bool checkBox;  // the caption is check box 400 instead of a plain text
    SliderKind kind;
    size_t field;   // offset of the crosshair field it moves, of the kind's type
    const wchar_t* labelFormat;
};

enum { kSliderCount = 7, kSliderLabelChars = 32 };
extern const SliderRow kSliderRows[kSliderCount];

// The row of a trackbar identifier, or null for any other control.
const SliderRow* FindSliderRow(int32_t trackbarId);
// A trackbar moved: halves store position x 0.5, the byte keeps the low 8 bits.
void StoreSliderPosition(const SliderRow& row, int32_t position, CrosshairSettings* crosshair);
// The position that shows the field; the trackbar clamps it to its range.
int32_t SliderPositionFor(const SliderRow& row, const CrosshairSettings& crosshair);
// The value label: "%.1f" of the float, "%d" / "%d px" of the integer.
void FormatSliderLabel(const SliderRow& row, const CrosshairSettings& crosshair, wchar_t* buf,
                       size_t count);
