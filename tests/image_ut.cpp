// The image scaler as the overlay uses it: drawn size, blocks, averaging,
// the 1024 cap, opacity, and where the drawn image's centre lands.
#include <gtest/gtest.h>

#include <stdint.h>

#include <algorithm>
#include <vector>

#include "crosshair/image.h"
#include "overlay/placement.h"

namespace {

const uint32_t kGuard = 0xDEADBEEFu;
const size_t kGuardWords = 16;
const uint32_t kOpaque = 0xFF000000u;

uint32_t Gray(uint32_t g) { return kOpaque | g << 16 | g << 8 | g; }

// Opaque and different everywhere: red is the column, green the row.
uint32_t Generated(int x, int y) { return kOpaque | (uint32_t)x << 16 | (uint32_t)y << 8 | 1u; }

struct Probe {
    int x, y;  // in the drawn image
    uint32_t value;
};

struct ScaleRow {
    const char* name;
    int w, h;
    std::vector<uint32_t> source;  // empty: Generated
    int height, percent, opacity;
    int drawnW, drawnH, block;
    uint32_t centre;  // expected at the canvas centre
    std::vector<Probe> probes;
};

const ScaleRow kScaleRows[] = {
    {"native size at 1080 and 100 %", 3, 2, {}, 1080, 100, 255, 3, 2, 1, Generated(1, 1),
     {{0, 0, Generated(0, 0)}, {2, 1, Generated(2, 1)}}},
    {"1440 lines: 1.33 rounds down to 1", 2, 2, {}, 1440, 100, 255, 2, 2, 1, Generated(1, 1), {}},
    {"1620 lines: 1.5 rounds up to 2", 2, 2, {}, 1620, 100, 255, 4, 4, 2, Generated(1, 1),
     {{1, 1, Generated(0, 0)}, {3, 0, Generated(1, 0)}, {0, 3, Generated(0, 1)}}},
    {"odd size at 300 %: the middle pixel's block centres", 3, 3, {}, 1080, 300, 255, 9, 9, 3,
     Generated(1, 1), {{3, 3, Generated(1, 1)}, {2, 6, Generated(0, 2)}}},
    {"cap: 8 x 256 becomes 4 x 256", 256, 256, {}, 2160, 400, 255, 1024, 1024, 4,
     Generated(128, 128), {{0, 0, Generated(0, 0)}, {1023, 1023, Generated(255, 255)}}},
    {"cap: the longer side decides", 200, 100, {}, 2160, 400, 255, 1000, 500, 5,
     Generated(100, 50), {{999, 499, Generated(199, 99)}}},
    {"odd grown canvas keeps the centre", 255, 1, {}, 1080, 300, 255, 765, 3, 3,
     Generated(127, 0), {{0, 0, Generated(0, 0)}, {764, 2, Generated(254, 0)}}},
    {"halving averages, halves up", 2, 1, {0xFFFFFFFFu, 0}, 540, 100, 255, 1, 1, 0, 0x80808080u,
     {}},
    {"three to two by coverage", 3, 3,
     {Gray(0), Gray(90), Gray(180), Gray(30), Gray(120), Gray(210), Gray(60), Gray(150), Gray(240)},
     1080, 50, 255, 2, 2, 0, Gray(200),
     {{0, 0, Gray(40)}, {1, 0, Gray(160)}, {0, 1, Gray(80)}}},
    {"never below one pixel; 1 % counts as 10 %", 1, 1, {0xFF102030u}, 100, 1, 255, 1, 1, 0,
     0xFF102030u, {}},
    {"400 % is the most", 1, 1, {}, 1080, 900, 255, 4, 4, 4, Generated(0, 0), {}},
    {"opacity multiplies every channel", 1, 1, {0xFFC86432u}, 1080, 100, 128, 1, 1, 1,
     0x80643219u, {}},
    {"opacity over averaging", 2, 1, {0xFFFFFFFFu, 0}, 540, 100, 51, 1, 1, 0, 0x1A1A1A1Au, {}},
};

TEST(ImageScaler, Rows) {
    for (const ScaleRow& row : kScaleRows) {
        SCOPED_TRACE(row.name);
        std::vector<uint32_t> source = row.source;
        if (source.empty())
            for (int y = 0; y < row.h; ++y)
                for (int x = 0; x < row.w; ++x) source.push_back(Generated(x, y));
        CrosshairImage image = {source.data(), row.w, row.h};
        ImageDrawSize size = MeasureImage(row.w, row.h, row.height, row.percent);
        EXPECT_EQ(row.drawnW, size.width);
        EXPECT_EQ(row.drawnH, size.height);
        EXPECT_EQ(row.block, size.block);

        const int side = OverlaySideFor(size.width, size.height);
        std::vector<uint32_t> store((size_t)side * side + 2 * kGuardWords, kGuard);
        uint32_t* canvas = store.data() + kGuardWords;
        RenderImage(image, row.height, row.percent, (uint8_t)row.opacity, canvas, side, side);
        EXPECT_EQ(kGuard, store.front());
        EXPECT_EQ(kGuard, store.back());
        EXPECT_EQ(row.centre, canvas[(size_t)(side / 2) * side + side / 2]);

        // The drawn image is the one block of non-clear pixels.
        int x0 = side, y0 = side, x1 = -1, y1 = -1;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (canvas[(size_t)y * side + x]) {
                    x0 = std::min(x0, x), y0 = std::min(y0, y);
                    x1 = std::max(x1, x), y1 = std::max(y1, y);
                }
        EXPECT_EQ(row.drawnW, x1 - x0 + 1);
        EXPECT_EQ(row.drawnH, y1 - y0 + 1);
        EXPECT_EQ(side / 2, x0 + row.drawnW / 2) << "the drawn centre is the canvas centre";
        EXPECT_EQ(side / 2, y0 + row.drawnH / 2);
        for (const Probe& p : row.probes)
            EXPECT_EQ(p.value, canvas[(size_t)(y0 + p.y) * side + x0 + p.x]) << p.x << "," << p.y;

        // The grown window's centre pixel lands on the target's centre.
        int wx = 0, wy = 0;
        OverlayPositionFor(ScreenRect{0, 0, 1920, 1080}, 0, 0, side, side, &wx, &wy);
        EXPECT_EQ(960, wx + side / 2);
        EXPECT_EQ(540, wy + side / 2);
    }
}

}  // namespace
