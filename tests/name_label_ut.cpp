// The name label: its distance below the centre, its place, the canvas that
// holds it and its outlined composition over the crosshair's pixels.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "overlay/name_label.h"

namespace {

TEST(NameLabel, GapScalesWithTheTargetHeight) {
    const int32_t rows[][2] = {{1080, 40}, {2160, 80}, {1440, 53}, {720, 27}, {13, 0},
                               {14, 1},    {0, 0},     {-1080, 0}, {INT32_MAX, 79536431}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row[0]);
        EXPECT_EQ(row[1], LabelGapFor(row[0]));
    }
}

TEST(NameLabel, CanvasHoldsTheLabelAroundTheSameCentre) {
    const struct {
        const char* name;
        int32_t base, maskWidth, maskHeight, gap, width, height, left, top;
    } rows[] = {
        {"a short name fits the square", 320, 60, 16, 40, 320, 320, 129, 200},
        {"a long name widens evenly", 320, 400, 16, 40, 402, 320, 0, 200},
        {"an odd box gets the extra column", 320, 401, 16, 40, 404, 320, 1, 200},
        {"far below at a tall target", 320, 60, 20, 160, 320, 364, 129, 342},
        {"an odd base that holds it stays", 321, 60, 16, 40, 321, 321, 129, 200},
        {"no label", 320, 0, 0, 40, 320, 320, 159, 200},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CanvasSize canvas =
            CanvasForLabel(row.base, row.base, row.maskWidth, row.maskHeight, row.gap);
        EXPECT_EQ(row.width, canvas.width);
        EXPECT_EQ(row.height, canvas.height);
        LabelBox box =
            PlaceLabel(canvas.width, canvas.height, row.maskWidth, row.maskHeight, row.gap);
        EXPECT_EQ(row.left, box.left);
        EXPECT_EQ(row.top, box.top);
    }
}

// Pictures of a 6 x 5 canvas: '.' the crosshair's own pixel, 'W' white, 'B' black.
std::vector<std::string> ComposedPicture(const std::vector<uint8_t>& mask, int32_t maskWidth,
                                         const LabelBox& box) {
    const uint32_t crosshair = 0x80102030u;
    std::vector<uint32_t> pixels(6 * 5, crosshair);
    ComposeLabel(mask.data(), maskWidth, (int32_t)mask.size() / maskWidth, pixels.data(), 6, 5,
                 box);
    std::vector<std::string> rows(5, std::string(6, '?'));
    for (size_t i = 0; i < pixels.size(); ++i)
        rows[i / 6][i % 6] = pixels[i] == crosshair     ? '.'
                             : pixels[i] == 0xFFFFFFFFu ? 'W'
                             : pixels[i] == 0xFF000000u ? 'B' : '?';
    return rows;
}

TEST(NameLabel, ComposesOutlinedTextOverTheCrosshair) {
    const struct {
        const char* name;
        std::vector<uint8_t> mask;
        int32_t maskWidth;
        LabelBox box;
        std::vector<std::string> picture;
    } rows[] = {
        {"coverage 128 is text, 127 not; the ring takes all eight neighbours", {127, 128, 0}, 3,
         {0, 2, 5, 3}, {"......", "......", ".BBB..", ".BWB..", ".BBB.."}},
        {"clipped at the canvas edge", {0, 0, 0, 255}, 2, {-2, -2, 4, 4},
         {"WB....", "BB....", "......", "......", "......"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.picture, ComposedPicture(row.mask, row.maskWidth, row.box));
    }
}

}  // namespace
