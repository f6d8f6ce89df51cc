// The name label: its distance below the centre, its place, the canvas that
// holds it and its outlined composition over the crosshair's pixels.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "overlay/name_label.h"

namespace {

TEST(NameLabel, GapScalesWithTheTargetHeight) {
    const struct { int32_t height, gap; } rows[] = {
        {1080, 40}, {2160, 80}, {1440, 53}, {720, 27}, {13, 0}, {14, 1},
        {0, 0}, {-1080, 0}, {INT32_MAX, 79536431},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.height);
        EXPECT_EQ(row.gap, LabelGapFor(row.height));
    }
}

struct CanvasRow {
    const char* name;
    int32_t baseWidth, baseHeight, maskWidth, maskHeight, gap;
    int32_t width, height, left, top;
};

const CanvasRow kCanvasRows[] = {
    {"a short name fits the square", 320, 320, 60, 16, 40, 320, 320, 129, 200},
    {"a long name widens evenly", 320, 320, 400, 16, 40, 402, 320, 0, 200},
    {"an odd box gets the extra column", 320, 320, 401, 16, 40, 404, 320, 1, 200},
    {"far below at a tall target", 320, 320, 60, 20, 160, 320, 364, 129, 342},
    {"an odd base that holds it stays", 321, 321, 60, 16, 40, 321, 321, 129, 200},
    {"no label", 320, 320, 0, 0, 40, 320, 320, 159, 200},
};

TEST(NameLabel, CanvasHoldsTheLabelAroundTheSameCentre) {
    for (const CanvasRow& row : kCanvasRows) {
        SCOPED_TRACE(row.name);
        CanvasSize canvas = CanvasForLabel(row.baseWidth, row.baseHeight, row.maskWidth,
                                           row.maskHeight, row.gap);
        EXPECT_EQ(row.width, canvas.width);
        EXPECT_EQ(row.height, canvas.height);
        LabelBox box = PlaceLabel(canvas.width, canvas.height, row.maskWidth, row.maskHeight,
                                  row.gap);
        EXPECT_EQ(row.left, box.left);
        EXPECT_EQ(row.top, box.top);
        if (row.maskWidth == 0) continue;
        EXPECT_GE(box.left, 0);
        EXPECT_LE(box.left + box.width, canvas.width);
        EXPECT_LE(box.top + box.height, canvas.height);
    }
}

// Pictures: one character a pixel, '.' the crosshair's own pixel, 'W' white, 'B' black.
const uint32_t kCrosshairPixel = 0x80102030u;

struct ComposeRow {
    const char* name;
    int32_t maskWidth, maskHeight;
    std::vector<uint8_t> mask;
    LabelBox box;
    std::vector<std::string> picture;  // the 6 x 5 canvas afterwards
};

std::vector<std::string> Picture(const std::vector<uint32_t>& pixels) {
    std::vector<std::string> rows(5, std::string(6, '?'));
    for (size_t i = 0; i < pixels.size(); ++i) {
        char c = pixels[i] == kCrosshairPixel ? '.' : pixels[i] == 0xFFFFFFFFu ? 'W'
                 : pixels[i] == 0xFF000000u ? 'B' : '?';
        rows[i / 6][i % 6] = c;
    }
    return rows;
}

TEST(NameLabel, ComposesOutlinedTextOverTheCrosshair) {
    const ComposeRow rows[] = {
        {"a text pixel gets its eight neighbours; the box's other pixels stay", 2, 1,
         {255, 0}, {1, 1, 4, 3}, {"......", ".BBB..", ".BWB..", ".BBB..", "......"}},
        {"clipped at the canvas edge", 2, 2, {0, 0, 0, 255}, {-2, -2, 4, 4},
         {"WB....", "BB....", "......", "......", "......"}},
        {"coverage below half is no text", 3, 1, {127, 128, 0}, {0, 2, 5, 3},
         {"......", "......", ".BBB..", ".BWB..", ".BBB.."}},
    };
    for (const ComposeRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<uint32_t> pixels(6 * 5, kCrosshairPixel);
        ComposeLabel(row.mask.data(), row.maskWidth, row.maskHeight, pixels.data(), 6, 5,
                     row.box);
        EXPECT_EQ(row.picture, Picture(pixels));
    }
}

}  // namespace
