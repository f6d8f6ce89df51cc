// The sliders of the settings window as data: the page and place of each row,
// its range, the crosshair field it moves, how its value label reads and which
// crosshair it applies to. Portable, so the position, label and enabling rules
// are tested without Windows.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "crosshair/crosshair.h"

// How a position maps to its field: half units (x 0.5), a byte, whole pixels,
// or a percent in steps of ten (x 10).
enum SliderKind { kSliderHalves, kSliderByte, kSliderPixels, kSliderTens };

// Which crosshair a slider takes input for: the drawn one, an image, or both.
enum SliderApplies { kAppliesDrawn, kAppliesImage, kAppliesBoth };

struct SliderRow {
    int32_t page;  // the page tag of the tab that holds it
    int32_t y;     // row top in 96-DPI units
    const wchar_t* caption;
    int32_t trackbarId, labelId;
    int32_t minimum, maximum;
    bool checkBox;  // the caption is check box 400 instead of a plain text
    SliderKind kind;
    size_t field;   // offset of the crosshair field it moves, of the kind's type
    const wchar_t* labelFormat;
    SliderApplies applies;
};

enum { kSliderCount = 8, kSliderLabelChars = 32 };
extern const SliderRow kSliderRows[kSliderCount];

// The row of a trackbar identifier, or null for any other control.
const SliderRow* FindSliderRow(int32_t trackbarId);
// A trackbar moved: halves store position x 0.5, the byte keeps the low 8 bits.
void StoreSliderPosition(const SliderRow& row, int32_t position, CrosshairSettings* crosshair);
// The position that shows the field; the trackbar clamps it to its range.
int32_t SliderPositionFor(const SliderRow& row, const CrosshairSettings& crosshair);
// The value label: "%.1f" of the float, "%d" / "%d px" of the integer, and
// "%d %" of the image's scale as it is drawn (made 10..400).
void FormatSliderLabel(const SliderRow& row, const CrosshairSettings& crosshair, wchar_t* buf,
                       size_t count);
// Whether the trackbar takes input: the row applies to the crosshair worn
// (drawn, or an image), and the outline's width only while the outline is on.
bool SliderEnabled(const SliderRow& row, const CrosshairSettings& crosshair);
