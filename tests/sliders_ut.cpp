// The crosshair tab's sliders: positions to fields, fields to positions, and
// the value labels, including values no slider can produce.
#include <gtest/gtest.h>

#include <wchar.h>

#include <limits>
#include <string>

#include "base/ids.h"
#include "ui/sliders.h"

namespace {

CrosshairSettings Sample() {
    CrosshairSettings c = {};
    c.size = 1.5f;
    c.gap = -2.0f;
    c.thickness = 1.0f;
    c.outline = 1;
    c.outlineThickness = 1.0f;
    c.dot = 0;
    c.tStyle = 1;
    c.red = 10;
    c.green = 20;
    c.blue = 30;
    c.alpha = 200;
    c.offsetX = 4;
    c.offsetY = -6;
    return c;
}

const SliderRow& Row(int32_t trackbarId) {
    const SliderRow* row = FindSliderRow(trackbarId);
    EXPECT_NE(nullptr, row) << trackbarId;
    return row ? *row : kSliderRows[0];
}

std::wstring Label(int32_t trackbarId, const CrosshairSettings& c) {
    wchar_t buf[kSliderLabelChars];
    FormatSliderLabel(Row(trackbarId), c, buf, kSliderLabelChars);
    return buf;
}

// Every field but the one the slider owns must come out as it went in.
::testing::AssertionResult SameRecord(const CrosshairSettings& after,
                                      const CrosshairSettings& expected) {
    ::testing::AssertionResult result = ::testing::AssertionFailure();
    bool same = true;
#define ZAVIK_COMPARE(field)                                                                  \
    if (!(after.field == expected.field)) {                                                   \
        same = false;                                                                         \
        result << #field << " is " << +after.field << ", expected " << +expected.field << "; "; \
    }
    ZAVIK_COMPARE(size) ZAVIK_COMPARE(gap) ZAVIK_COMPARE(thickness) ZAVIK_COMPARE(outline)
    ZAVIK_COMPARE(outlineThickness) ZAVIK_COMPARE(dot) ZAVIK_COMPARE(tStyle) ZAVIK_COMPARE(red)
    ZAVIK_COMPARE(green) ZAVIK_COMPARE(blue) ZAVIK_COMPARE(alpha) ZAVIK_COMPARE(offsetX)
    ZAVIK_COMPARE(offsetY) ZAVIK_COMPARE(imageScale)
#undef ZAVIK_COMPARE
    return same ? ::testing::AssertionSuccess() : result;
}

TEST(Sliders, EachTrackbarHasOneRowAndOthersNone) {
    for (int32_t id = kIdSliderSize; id <= kIdSliderImageScale; ++id) {
        SCOPED_TRACE(id);
        const SliderRow* row = FindSliderRow(id);
        ASSERT_NE(nullptr, row);
        EXPECT_EQ(id, row->trackbarId);
        EXPECT_EQ(id + 100, row->labelId);  // labels are numbered a hundred above
    }
    EXPECT_EQ(nullptr, FindSliderRow(kIdLabelSize));
    EXPECT_EQ(nullptr, FindSliderRow(kIdCheckOutline));
    EXPECT_EQ(nullptr, FindSliderRow(kIdUnnamed));
}


struct StoreCase {
    const char* name;
    int32_t trackbarId;
    int32_t position;
    void (*expect)(CrosshairSettings*);
};

const StoreCase kStoreCases[] = {
    {"size minimum is below zero", kIdSliderSize, -10, [](CrosshairSettings* c) { c->size = -5.0f; }},
    {"size maximum", kIdSliderSize, 20, [](CrosshairSettings* c) { c->size = 10.0f; }},
    {"gap odd position", kIdSliderGap, -7, [](CrosshairSettings* c) { c->gap = -3.5f; }},
    {"thickness zero", kIdSliderThickness, 0, [](CrosshairSettings* c) { c->thickness = 0.0f; }},
    {"outline keeps the flag", kIdSliderOutline, 1,
     [](CrosshairSettings* c) { c->outlineThickness = 0.5f; }},
    {"alpha", kIdSliderAlpha, 17, [](CrosshairSettings* c) { c->alpha = 17; }},
    {"alpha keeps the low 8 bits", kIdSliderAlpha, 300, [](CrosshairSettings* c) { c->alpha = 44; }},
    {"alpha of minus one", kIdSliderAlpha, -1, [](CrosshairSettings* c) { c->alpha = 255; }},
    {"offset x", kIdSliderOffsetX, -100, [](CrosshairSettings* c) { c->offsetX = -100; }},
    {"offset y", kIdSliderOffsetY, 37, [](CrosshairSettings* c) { c->offsetY = 37; }},
    {"image scale in tens", kIdSliderImageScale, 15, [](CrosshairSettings* c) { c->imageScale = 150; }},
};

TEST(Sliders, StoreChangesOnlyTheRowsField) {
    for (const StoreCase& row : kStoreCases) {
        SCOPED_TRACE(row.name);
        CrosshairSettings after = Sample();
        StoreSliderPosition(Row(row.trackbarId), row.position, &after);
        CrosshairSettings expected = Sample();
        row.expect(&expected);
        EXPECT_TRUE(SameRecord(after, expected));
    }
}

TEST(Sliders, EveryPositionComesBackFromItsField) {
    for (const SliderRow& row : kSliderRows) {
        for (int32_t position = row.minimum; position <= row.maximum; ++position) {
            SCOPED_TRACE(testing::Message() << "trackbar " << row.trackbarId << " position "
                                            << position);
            CrosshairSettings c = Sample();
            StoreSliderPosition(row, position, &c);
            EXPECT_EQ(position, SliderPositionFor(row, c));
        }
    }
}

TEST(Sliders, FieldsOutsideTheRangeAreShownNotChanged) {
    CrosshairSettings c = Sample();
    c.size = 12.0f;
    c.gap = std::numeric_limits<float>::quiet_NaN();
    c.thickness = std::numeric_limits<float>::infinity();
    c.offsetX = 5000;
    EXPECT_EQ(24, SliderPositionFor(Row(kIdSliderSize), c));  // the trackbar clamps it
    EXPECT_EQ(0, SliderPositionFor(Row(kIdSliderGap), c));
    EXPECT_EQ(1 << 30, SliderPositionFor(Row(kIdSliderThickness), c));
    EXPECT_EQ(5000, SliderPositionFor(Row(kIdSliderOffsetX), c));
    EXPECT_EQ(12.0f, c.size);
    EXPECT_EQ(L"12.0", Label(kIdSliderSize, c));
}

struct LabelCase {
    const char* name;
    int32_t trackbarId;
    void (*set)(CrosshairSettings*);
    const wchar_t* text;
};

const LabelCase kLabelCases[] = {
    {"negative size", kIdSliderSize, [](CrosshairSettings* c) { c->size = -5.0f; }, L"-5.0"},
    {"half gap", kIdSliderGap, [](CrosshairSettings* c) { c->gap = 2.5f; }, L"2.5"},
    {"zero thickness", kIdSliderThickness, [](CrosshairSettings* c) { c->thickness = 0.0f; },
     L"0.0"},
    {"outline", kIdSliderOutline, [](CrosshairSettings* c) { c->outlineThickness = 3.0f; },
     L"3.0"},
    {"imported size with decimals", kIdSliderSize, [](CrosshairSettings* c) { c->size = 1.26f; },
     L"1.3"},
    {"alpha", kIdSliderAlpha, [](CrosshairSettings* c) { c->alpha = 255; }, L"255"},
    {"offset x", kIdSliderOffsetX, [](CrosshairSettings* c) { c->offsetX = -37; }, L"-37 px"},
    {"offset y far away", kIdSliderOffsetY, [](CrosshairSettings* c) { c->offsetY = 100000; },
     L"100000 px"},
    {"image scale", kIdSliderImageScale, [](CrosshairSettings* c) { c->imageScale = 250; },
     L"250 %"},
    {"image scale as it is drawn", kIdSliderImageScale,
     [](CrosshairSettings* c) { c->imageScale = 5000; }, L"400 %"},
};

TEST(Sliders, LabelsReadLikeTheirFormats) {
    for (const LabelCase& row : kLabelCases) {
        SCOPED_TRACE(row.name);
        CrosshairSettings c = Sample();
        row.set(&c);
        EXPECT_EQ(std::wstring(row.text), Label(row.trackbarId, c));
    }
}

// Without an image the drawn crosshair's rows take input (the outline's only
// with the outline on); with one, the image's row and those of both.
TEST(Sliders, EnabledForTheCrosshairWorn) {
    struct EnableRow {
        int32_t trackbarId;
        bool image, outline, enabled;
    };
    const EnableRow rows[] = {
        {kIdSliderSize, false, true, true},         {kIdSliderSize, true, true, false},
        {kIdSliderOutline, false, false, false},    {kIdSliderOutline, false, true, true},
        {kIdSliderOutline, true, true, false},      {kIdSliderAlpha, true, false, true},
        {kIdSliderOffsetY, true, false, true},      {kIdSliderImageScale, false, true, false},
        {kIdSliderImageScale, true, false, true},
    };
    for (const EnableRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "trackbar " << row.trackbarId << " image "
                                        << row.image << " outline " << row.outline);
        CrosshairSettings c = Sample();
        c.outline = row.outline ? 1 : 0;
        SetCrosshairImage(&c, row.image ? L"mira.png" : nullptr);
        EXPECT_EQ(row.enabled, SliderEnabled(Row(row.trackbarId), c));
    }
}

TEST(Sliders, AHugeFloatLabelIsCutAndTerminated) {
    CrosshairSettings c = Sample();
    c.size = std::numeric_limits<float>::max();
    wchar_t buf[kSliderLabelChars + 4];
    wmemset(buf, L'#', kSliderLabelChars + 4);
    FormatSliderLabel(Row(kIdSliderSize), c, buf, kSliderLabelChars);
    EXPECT_EQ((size_t)kSliderLabelChars - 1, wcslen(buf));
    EXPECT_EQ(L'#', buf[kSliderLabelChars]);  // nothing written past the buffer
}

}  // namespace
