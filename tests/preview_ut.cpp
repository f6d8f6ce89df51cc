// Unit tests of the live preview's picture: extent, zoom, block placement
// around the centre, the checkerboard and the blend.
#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "crosshair/crosshair.h"
#include "ui/preview.h"

namespace {

const uint32_t kDark = 0x003A423Eu;   // RGB(58, 66, 62)
const uint32_t kLight = 0x005C6862u;  // RGB(92, 104, 98)
const uint32_t kOpaqueWhite = 0xFFFFFFFFu;
const int kPreviewAt96Dpi = 160;

std::vector<uint32_t> EmptyRender() { return std::vector<uint32_t>(kPreviewSource * kPreviewSource, 0); }

void Put(std::vector<uint32_t>* render, int x, int y, uint32_t value) {
    (*render)[(size_t)y * kPreviewSource + x] = value;
}

std::vector<uint32_t> Compose(const std::vector<uint32_t>& render, int n, int zoom, int cell) {
    std::vector<uint32_t> out((size_t)n * n, 0xEEEEEEEEu);
    ComposePreview(render.data(), n, zoom, cell, out.data());
    return out;
}

uint32_t At(const std::vector<uint32_t>& out, int n, int c, int r) { return out[(size_t)r * n + c]; }

// The n x n square [c0, c0 + side) x [r0, r0 + side) all holds value.
::testing::AssertionResult BlockIs(const std::vector<uint32_t>& out, int n, int c0, int r0,
                                   int side, uint32_t value) {
    for (int r = r0; r < r0 + side; ++r)
        for (int c = c0; c < c0 + side; ++c)
            if (At(out, n, c, r) != value)
                return ::testing::AssertionFailure()
                       << "output (" << c << "," << r << ") = 0x" << std::hex << At(out, n, c, r)
                       << ", expected 0x" << value;
    return ::testing::AssertionSuccess();
}

TEST(PreviewZoom, FollowsTheFarthestVisiblePixel) {
    struct Case {
        const char* name;
        int x, y;  // one visible pixel, or x < 0 for none
        int extent, zoom;
    } cases[] = {
        {"9 pixels right", 169, 160, 9, 7},
        {"9 pixels up", 160, 151, 9, 7},
        {"3 pixels, limited to 8", 157, 162, 3, 8},
        {"40 pixels, no magnification", 160, 200, 40, 1},
        {"at the very corner", 0, 0, 160, 1},
        {"the centre alone counts as 1", 160, 160, 1, 8},
        {"nothing visible", -1, -1, 1, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> render = EmptyRender();
        if (c.x >= 0) Put(&render, c.x, c.y, 0x01000000u);  // barely visible still counts
        EXPECT_EQ(c.extent, PreviewExtent(render.data()));
        EXPECT_EQ(c.zoom, PreviewZoom(kPreviewAt96Dpi, c.extent));
    }
}

TEST(PreviewZoom, IgnoresFullyTransparentColour) {
    std::vector<uint32_t> render = EmptyRender();
    Put(&render, 10, 10, 0x00FFFFFFu);
    EXPECT_EQ(1, PreviewExtent(render.data()));
}

TEST(PreviewZoom, LargerSquaresAndOddArguments) {
    struct Case {
        int n, extent, zoom;
    } cases[] = {
        {240, 9, 8},   // (120 - 6) / 10 = 11, limited
        {240, 13, 8},  // 114 / 14 = 8
        {240, 14, 7},  // 114 / 15 = 7
        {160, 0, 8},   // extent is at least 1
        {160, -5, 8},
        {10, 1, 1},    // margin larger than half the square
        {160, 2147483647, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "n " << c.n << " extent " << c.extent);
        EXPECT_EQ(c.zoom, PreviewZoom(c.n, c.extent));
    }
}

TEST(PreviewCompose, EmptyRenderIsACheckerboardFromTheTopLeft) {
    struct Case {
        int n, cell;
    } cases[] = {{160, 20}, {240, 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        std::vector<uint32_t> out = Compose(EmptyRender(), c.n, 8, c.cell);
        for (int r = 0; r < c.n; ++r)
            for (int col = 0; col < c.n; ++col) {
                bool dark = ((col / c.cell) + (r / c.cell)) % 2 == 0;
                ASSERT_EQ(dark ? kDark : kLight, At(out, c.n, col, r)) << col << "," << r;
            }
        EXPECT_EQ(kDark, At(out, c.n, 0, 0));
        EXPECT_EQ(kDark, At(out, c.n, c.cell - 1, 0));
        EXPECT_EQ(kLight, At(out, c.n, c.cell, 0));
        EXPECT_EQ(kLight, At(out, c.n, 0, c.cell));
        EXPECT_EQ(kDark, At(out, c.n, c.cell, c.cell));
    }
}

TEST(PreviewCompose, HalfTransparentPixelBlendsOverTheBackground) {
    std::vector<uint32_t> render = EmptyRender();
    Put(&render, 160, 160, 0x80800000u);  // red at alpha 128, premultiplied
    std::vector<uint32_t> out = Compose(render, 160, 1, 20);
    // Output (80, 80) lies in a dark cell: 58*127/255 + 128, 66*127/255, 62*127/255.
    EXPECT_EQ(0x009C201Eu, At(out, 160, 80, 80));
    // Over a light cell (row 60 -> cell 3, column 80 -> cell 4).
    Put(&render, 160, 140, 0x80800000u);
    out = Compose(render, 160, 1, 20);
    EXPECT_EQ((92u * 127 / 255 + 128) << 16 | (104u * 127 / 255) << 8 | (98u * 127 / 255),
              At(out, 160, 80, 60));
}

TEST(PreviewCompose, BlocksStartAtTheCentreAndExtendBackwardsByFloor) {
    const int n = 160, h = 80, z = 7;
    std::vector<uint32_t> render = EmptyRender();
    Put(&render, 159, 159, kOpaqueWhite);
    Put(&render, 160, 160, 0xFF0000FFu);
    std::vector<uint32_t> out = Compose(render, n, z, 20);
    EXPECT_TRUE(BlockIs(out, n, h - z, h - z, z, 0x00FFFFFFu));
    EXPECT_TRUE(BlockIs(out, n, h, h, z, 0x000000FFu));
    EXPECT_NE(0x00FFFFFFu, At(out, n, h - z - 1, h - z));
    EXPECT_NE(0x000000FFu, At(out, n, h + z, h));
    EXPECT_NE(0x00FFFFFFu, At(out, n, h, h - 1));
}

TEST(PreviewCompose, PixelsBeyondTheRenderAreTransparent) {
    // A 720 x 720 square at zoom 1 shows source columns -200 ... 519.
    const int n = 720, h = 360;
    std::vector<uint32_t> render(320 * 320, kOpaqueWhite);
    std::vector<uint32_t> out = Compose(render, n, 1, 20);
    EXPECT_EQ(0x00FFFFFFu, At(out, n, h - 160, h));
    EXPECT_EQ(0x00FFFFFFu, At(out, n, h + 159, h));
    EXPECT_EQ(0x00FFFFFFu, At(out, n, h, h - 160));
    EXPECT_NE(0x00FFFFFFu, At(out, n, h - 161, h));
    EXPECT_NE(0x00FFFFFFu, At(out, n, h + 160, h));
    EXPECT_NE(0x00FFFFFFu, At(out, n, h, h + 160));
    EXPECT_EQ(kDark, At(out, n, 0, 0));
}

TEST(PreviewCompose, DefaultCrosshairMagnifiedEightTimes) {
    std::vector<uint32_t> render = EmptyRender();
    RenderCrosshair(kBuiltinPresets[0].settings, render.data(), 320, 320, 1080);
    ASSERT_EQ(3, PreviewExtent(render.data()));  // the outline reaches column 157
    const int z = PreviewZoom(kPreviewAt96Dpi, 3);
    ASSERT_EQ(8, z);
    std::vector<uint32_t> out = Compose(render, kPreviewAt96Dpi, z, 20);
    // Source (158, 159) is white, (157, 159) black outline, (156, 159) empty.
    EXPECT_TRUE(BlockIs(out, 160, 80 - 2 * z, 80 - z, z, 0x00FFFFFFu));
    EXPECT_TRUE(BlockIs(out, 160, 80 - 3 * z, 80 - z, z, 0x00000000u));
    EXPECT_EQ(kLight, At(out, 160, 80 - 4 * z, 80 - z));  // column 48 -> cell 2, row 72 -> cell 3
}

}  // namespace
