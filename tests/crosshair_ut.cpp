// Unit tests of the crosshair tables, the rounding rules and the rasterizer:
// exact pixel sets of the built-in crosshairs, clipping, and hostile values.
#include <gtest/gtest.h>

#include <float.h>
#include <math.h>
#include <stdint.h>

#include <limits>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "crosshair/crosshair.h"
#include "overlay/placement.h"

namespace {

const int kSide = kOverlaySize;
const uint32_t kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0xFF000000u;
const uint32_t kGuard = 0xDEADBEEFu;
const size_t kGuardWords = 64;

// A w x h pixel buffer with guard words on both sides, to see writes outside it.
struct Image {
    int w = kSide, h = kSide;
    std::vector<uint32_t> store;
    uint32_t* pixels() { return store.data() + kGuardWords; }
    const uint32_t* pixels() const { return store.data() + kGuardWords; }
    uint32_t at(int x, int y) const { return pixels()[(size_t)y * w + x]; }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuardWords; ++i) {
            if (store[i] != kGuard || store[store.size() - 1 - i] != kGuard) return false;
        }
        return true;
    }
};

Image Render(const CrosshairSettings& s, int referenceHeight, int w = kSide, int h = kSide) {
    Image img;
    img.w = w;
    img.h = h;
    size_t count = (w > 0 && h > 0) ? (size_t)w * (size_t)h : 0;
    img.store.assign(count + 2 * kGuardWords, kGuard);
    // Stale content that the render must overwrite.
    for (size_t i = 0; i < count; ++i) img.pixels()[i] = 0x12345678u;
    RenderCrosshair(s, img.pixels(), w, h, referenceHeight);
    return img;
}

int Count(const Image& img, uint32_t value) {
    int n = 0;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) n += img.at(x, y) == value;
    return n;
}

// Inclusive ranges, as a picture is described in words: columns c0-c1 of rows r0-r1.
struct Span {
    int c0, c1, r0, r1;
};

using PixelSet = std::set<std::pair<int, int>>;

PixelSet SetOf(const std::vector<Span>& spans) {
    PixelSet set;
    for (const Span& s : spans)
        for (int y = s.r0; y <= s.r1; ++y)
            for (int x = s.c0; x <= s.c1; ++x) set.insert({x, y});
    return set;
}

PixelSet PixelsWithValue(const Image& img, uint32_t value) {
    PixelSet set;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x)
            if (img.at(x, y) == value) set.insert({x, y});
    return set;
}

std::string Describe(const PixelSet& set) {
    std::ostringstream out;
    int shown = 0;
    for (const auto& p : set) {
        if (shown++ == 12) {
            out << " ...";
            break;
        }
        out << " (" << p.first << "," << p.second << ")";
    }
    return out.str();
}

::testing::AssertionResult HasPixels(const Image& img, uint32_t value, const PixelSet& expected) {
    PixelSet actual = PixelsWithValue(img, value);
    PixelSet missing, extra;
    for (const auto& p : expected)
        if (!actual.count(p)) missing.insert(p);
    for (const auto& p : actual)
        if (!expected.count(p)) extra.insert(p);
    if (missing.empty() && extra.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::hex << "value 0x" << value << std::dec << ": missing" << Describe(missing)
           << "; unexpected" << Describe(extra);
}

// Every pixel is 0 or one of the given values.
::testing::AssertionResult OnlyValues(const Image& img, uint32_t a, uint32_t b) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            uint32_t v = img.at(x, y);
            if (v != 0 && v != a && v != b)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") = 0x" << std::hex << v;
        }
    return ::testing::AssertionSuccess();
}

CrosshairSettings Shape(float size, float gap, float thickness, int outline = 0,
                        float outlineThickness = 0.0f, int dot = 0, int tStyle = 0) {
    CrosshairSettings s = kBuiltinPresets[0].settings;
    s.size = size;
    s.gap = gap;
    s.thickness = thickness;
    s.outline = outline;
    s.outlineThickness = outlineThickness;
    s.dot = dot;
    s.tStyle = tStyle;
    return s;
}

// ---- Tables -------------------------------------------------------------

TEST(CrosshairTables, BuiltinNamesAndDefault) {
    const wchar_t* names[kBuiltinPresetCount] = {L"Zavik Padrão", L"Ponto branco", L"Cruz branca",
                                                 L"Cruz branca vazada"};
    for (int i = 0; i < kBuiltinPresetCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::wstring(names[i]), kBuiltinPresets[i].name);
        const CrosshairSettings& s = kBuiltinPresets[i].settings;
        EXPECT_EQ(255, s.red + 0);
        EXPECT_EQ(255, s.alpha + 0);
        EXPECT_EQ(0, s.offsetX);
        EXPECT_EQ(0, s.offsetY);
    }
    const CrosshairSettings& d = kBuiltinPresets[0].settings;
    EXPECT_EQ(-1.5f, d.size);
    EXPECT_EQ(-3.0f, d.gap);
    EXPECT_EQ(1, d.outline);
    EXPECT_EQ(1.0f, d.outlineThickness);
    EXPECT_EQ(1, kBuiltinPresets[1].settings.dot);
}

TEST(CrosshairTables, ColourNamesInListOrder) {
    struct Row {
        const wchar_t* name;
        int r, g, b;
    } rows[kColourPresetCount] = {
        {L"Branco", 255, 255, 255}, {L"Verde", 50, 250, 50}, {L"Amarelo", 250, 250, 50},
        {L"Ciano", 0, 255, 255},    {L"Azul", 50, 50, 250},  {L"Vermelho", 250, 50, 50},
        {L"Rosa", 255, 64, 200},
    };
    for (int i = 0; i < kColourPresetCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::wstring(rows[i].name), kColourPresets[i].name);
        EXPECT_EQ(rows[i].r, kColourPresets[i].red + 0);
        EXPECT_EQ(rows[i].g, kColourPresets[i].green + 0);
        EXPECT_EQ(rows[i].b, kColourPresets[i].blue + 0);
    }
    EXPECT_EQ(std::wstring(L"Personalizada"), kColourCustomName);
}

TEST(CrosshairTables, FindColourPresetIndexOf) {
    struct Case {
        int r, g, b, expected;
    } cases[] = {
        {255, 255, 255, 0}, {0, 255, 255, 3}, {255, 64, 200, 6}, {50, 250, 51, 7},
        {0, 0, 0, 7},       {250, 50, 50, 5}, {50, 250, 50, 1},  {255, 255, 254, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << "," << c.g << "," << c.b);
        EXPECT_EQ(c.expected, FindColourPresetIndexOf((uint8_t)c.r, (uint8_t)c.g, (uint8_t)c.b));
    }
}

TEST(CrosshairRounding, RoundHalfAway) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float v;
        int expected;
    } cases[] = {
        {2.5f, 3},          {-2.5f, -3},          {2.4f, 2},   {6.75f, 7},
        {-3.375f, -3},      {0.5f, 1},            {-0.5f, -1}, {0.49999997f, 0},
        {-1.5f, -2},        {0.0f, 0},            {-0.0f, 0},  {NAN, 0},
        {inf, kPixelLimit}, {-inf, -kPixelLimit}, {1e30f, kPixelLimit},
        {-1e30f, -kPixelLimit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(c.expected, RoundHalfAway(c.v));
    }
}

// ---- FillMaskRect ---------------------------------------------------------

TEST(FillMaskRect, ClipsToTheBuffer) {
    const int w = 6, h = 4;
    struct Case {
        const char* name;
        int x0, y0, x1, y1;
        int cells;  // cells set
    } cases[] = {
        {"inside", 1, 1, 3, 3, 4},
        {"partly left and above", -2, -5, 2, 1, 2},
        {"partly right and below", 4, 2, 99, 99, 4},
        {"whole buffer and more", INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 24},
        {"empty width", 3, 0, 3, 4, 0},
        {"reversed", 4, 0, 2, 4, 0},
        {"empty height", 0, 2, 6, 2, 0},
        {"left of buffer", -9, 0, 0, 4, 0},
        {"below buffer", 0, 4, 6, 9, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> store(w * h + 16, 0xAA);
        uint8_t* mask = store.data() + 8;
        for (int i = 0; i < w * h; ++i) mask[i] = 0;
        FillMaskRect(mask, w, h, c.x0, c.y0, c.x1, c.y1, 2);
        int set = 0;
        for (int i = 0; i < w * h; ++i) set += mask[i] == 2;
        EXPECT_EQ(c.cells, set);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(0xAA, store[i]);
            EXPECT_EQ(0xAA, store[store.size() - 1 - i]);
        }
    }
}

// ---- Built-in crosshairs ------------------------------------------------

TEST(RenderCrosshair, DefaultAtEveryCommonHeight) {
    struct Case {
        int height, crosshair, outline;
    } cases[] = {
        {480, 8, 24},   {720, 12, 20},  {768, 12, 20},  {900, 20, 28},
        {1080, 12, 20}, {1440, 21, 24}, {2160, 85, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        Image img = Render(kBuiltinPresets[0].settings, c.height);
        EXPECT_EQ(c.crosshair, Count(img, kWhite));
        EXPECT_EQ(c.outline, Count(img, kBlack));
        EXPECT_TRUE(OnlyValues(img, kWhite, kBlack));
    }
}

TEST(RenderCrosshair, DefaultAt1080PixelByPixel) {
    Image img = Render(kBuiltinPresets[0].settings, 1080);
    EXPECT_TRUE(HasPixels(img, kWhite, SetOf({{158, 161, 159, 160}, {159, 160, 158, 158},
                                              {159, 160, 161, 161}})));
    EXPECT_TRUE(HasPixels(img, kBlack,
                          SetOf({{158, 161, 157, 157}, {158, 161, 162, 162}, {157, 158, 158, 158},
                                 {161, 162, 158, 158}, {157, 158, 161, 161}, {161, 162, 161, 161},
                                 {157, 157, 159, 160}, {162, 162, 159, 160}})));
    EXPECT_EQ(12 + 20, 320 * 320 - Count(img, 0));
}

TEST(RenderCrosshair, WhiteDotAt1080) {
    Image img = Render(kBuiltinPresets[1].settings, 1080);
    EXPECT_TRUE(HasPixels(img, kWhite, SetOf({{159, 160, 159, 160}})));
    EXPECT_EQ(320 * 320 - 4, Count(img, 0));
}

TEST(RenderCrosshair, WhiteCrossAt1080) {
    Image img = Render(kBuiltinPresets[2].settings, 1080);
    EXPECT_TRUE(HasPixels(img, kWhite, SetOf({{158, 161, 159, 160}, {159, 160, 158, 161}})));
    EXPECT_EQ(320 * 320 - 12, Count(img, 0));
}

TEST(RenderCrosshair, HollowCrossAt1080) {
    Image img = Render(kBuiltinPresets[3].settings, 1080);
    EXPECT_TRUE(HasPixels(img, kWhite,
                          SetOf({{156, 158, 159, 160}, {161, 163, 159, 160}, {159, 160, 156, 158},
                                 {159, 160, 161, 163}})));
    EXPECT_EQ(320 * 320 - 24, Count(img, 0));
}

// ---- Shapes ----------------------------------------------------------------

TEST(RenderCrosshair, OddThicknessCentresOnAPixel) {
    Image img = Render(Shape(5, 0, 1), 480);
    EXPECT_TRUE(HasPixels(img, kWhite,
                          SetOf({{163, 167, 160, 160}, {153, 157, 160, 160}, {160, 160, 163, 167},
                                 {160, 160, 153, 157}})));
}

TEST(RenderCrosshair, TStyleWithOutlineAndDot) {
    Image img = Render(Shape(3, 1, 1, 1, 1.0f, 1, 1), 1080);
    PixelSet crosshair = SetOf({{165, 171, 159, 160}, {148, 154, 159, 160}, {159, 160, 165, 171},
                                {159, 160, 159, 160}});
    EXPECT_TRUE(HasPixels(img, kWhite, crosshair));
    // One-pixel rings around the three arms and around the dot.
    PixelSet outline = SetOf({{164, 172, 158, 161}, {147, 155, 158, 161}, {158, 161, 164, 172},
                              {158, 161, 158, 161}});
    for (const auto& p : crosshair) outline.erase(p);
    EXPECT_TRUE(HasPixels(img, kBlack, outline));
}

TEST(RenderCrosshair, TStyleWithNegativeLengthDropsTheArmAbove) {
    // L = -7, G = 2: the arm laid out as the lower one spans rows 156-162 and
    // lies higher than the one laid out as the upper (rows 158-164).
    Image img = Render(Shape(-7, 0, 1, 0, 0, 0, 1), 480);
    EXPECT_TRUE(HasPixels(img, kWhite, SetOf({{156, 164, 160, 160}, {160, 160, 158, 164}})));
}

TEST(RenderCrosshair, TStyleWithOrdinaryValuesDropsTheUpperArm) {
    Image img = Render(Shape(5, 0, 1, 0, 0, 0, 1), 480);
    EXPECT_TRUE(HasPixels(img, kWhite,
                          SetOf({{163, 167, 160, 160}, {153, 157, 160, 160}, {160, 160, 163, 167}})));
}

TEST(RenderCrosshair, AlphaIsAppliedToCrosshairAndOutline) {
    CrosshairSettings s = kBuiltinPresets[0].settings;
    s.dot = 1;
    s.alpha = 0;
    EXPECT_EQ(320 * 320, Count(Render(s, 1080), 0));

    s.dot = 0;
    s.alpha = 128;
    s.red = 255;
    s.green = 0;
    s.blue = 0;
    Image img = Render(s, 1080);
    EXPECT_EQ(12, Count(img, 0x80800000u));
    EXPECT_EQ(20, Count(img, 0x80000000u));
    EXPECT_TRUE(OnlyValues(img, 0x80800000u, 0x80000000u));

    s.red = 250;
    s.green = 64;
    s.blue = 1;
    s.alpha = 200;  // 250*200/255 = 196, 64*200/255 = 50, 1*200/255 = 0, all truncated
    EXPECT_EQ(12, Count(Render(s, 1080), 0xC8C43200u));
}

TEST(RenderCrosshair, ThinThicknessStillDrawsOnePixelArmsAndATwoPixelDot) {
    const float thicknesses[] = {0.0f, -1.0f, -100.0f, 0.2f};
    for (float t : thicknesses) {
        SCOPED_TRACE(t);
        // L = 7, T = 1, G = 4 at 1080.
        Image img = Render(Shape(3, 0, t, 0, 0, 1), 1080);
        EXPECT_TRUE(HasPixels(img, kWhite,
                              SetOf({{165, 171, 160, 160}, {149, 155, 160, 160},
                                     {160, 160, 165, 171}, {160, 160, 149, 155},
                                     {159, 160, 159, 160}})));
    }
}

TEST(RenderCrosshair, OutlineWidthIsRoundedAndAtLeastOne) {
    struct Case {
        float outlineThickness;
        int outlinePixels;
    } cases[] = {
        {0.0f, 20}, {-2.0f, 20}, {0.4f, 20}, {0.5f, 20}, {1.4f, 20},
        {1.5f, 48}, {2.0f, 48},  {2.4f, 48}, {NAN, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outlineThickness);
        CrosshairSettings s = kBuiltinPresets[0].settings;
        s.outlineThickness = c.outlineThickness;
        Image img = Render(s, 1080);
        EXPECT_EQ(12, Count(img, kWhite));
        EXPECT_EQ(c.outlinePixels, Count(img, kBlack));
    }
}

TEST(RenderCrosshair, AnyNonZeroFlagCountsAsOn) {
    CrosshairSettings on = kBuiltinPresets[0].settings;
    CrosshairSettings seven = on;
    seven.outline = 7;
    Image a = Render(on, 1080), b = Render(seven, 1080);
    EXPECT_EQ(a.store, b.store);
    CrosshairSettings dotMinus = kBuiltinPresets[1].settings;
    dotMinus.dot = -1;
    EXPECT_EQ(4, Count(Render(dotMinus, 1080), kWhite));
}

TEST(RenderCrosshair, OutlineIsCutOutOfTheCrossingWithoutADot) {
    CrosshairSettings s = kBuiltinPresets[3].settings;
    s.outline = 1;
    s.outlineThickness = 1.0f;
    Image img = Render(s, 1080);
    for (int y = 159; y <= 160; ++y)
        for (int x = 159; x <= 160; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_EQ(0u, img.at(x, y));
        }
    // Just outside the centre block the outline stays.
    EXPECT_EQ(kBlack, img.at(158, 158));
    s.dot = 1;
    Image dotted = Render(s, 1080);
    EXPECT_EQ(kWhite, dotted.at(159, 159));
    EXPECT_EQ(kWhite, dotted.at(160, 160));
}

TEST(RenderCrosshair, DotOutlineNeverCutsIntoArms) {
    // The dot of the default shape lies inside its arms; its ring must leave
    // the arm pixels white, so the picture is the one without the dot.
    CrosshairSettings s = kBuiltinPresets[0].settings;
    Image plain = Render(s, 1080);
    s.dot = 1;
    Image dotted = Render(s, 1080);
    EXPECT_EQ(plain.store, dotted.store);
}

TEST(RenderCrosshair, GapIsComputedInSinglePrecision) {
    // 1080 * 4 / 1200 in single precision lies just below 3.6, so -3.6 gives
    // a gap of 0: the horizontal arms span columns 158-161 with no hole.
    Image img = Render(Shape(1, -3.6f, 1), 1080);
    EXPECT_TRUE(HasPixels(img, kWhite, SetOf({{158, 161, 159, 160}, {159, 160, 158, 161}})));
}

TEST(RenderCrosshair, ArmsThatRoundToNothing) {
    Image dotOnly = Render(Shape(0.2f, 0, 1, 1, 1.0f, 1), 1080);
    EXPECT_TRUE(HasPixels(dotOnly, kWhite, SetOf({{159, 160, 159, 160}})));
    EXPECT_EQ(12, Count(dotOnly, kBlack));
    Image none = Render(Shape(0.2f, 0, 1, 1, 1.0f, 0), 1080);
    EXPECT_EQ(320 * 320, Count(none, 0));
}

TEST(RenderCrosshair, LargeArmsAreClippedAtTheEdges) {
    Image img = Render(Shape(100, 0, 1, 1, 3.0f, 1), 1080);
    EXPECT_TRUE(img.GuardsIntact());
    EXPECT_EQ(kWhite, img.at(319, 160));
    EXPECT_EQ(kWhite, img.at(0, 160));
    EXPECT_EQ(kWhite, img.at(160, 0));
    EXPECT_EQ(kWhite, img.at(160, 319));
    EXPECT_EQ(kBlack, img.at(319, 156));
    EXPECT_EQ(0u, img.at(0, 0));
}

TEST(RenderCrosshair, OtherBufferSizesUseTheirOwnCentre) {
    Image img = Render(kBuiltinPresets[0].settings, 1080, 41, 30);  // centre (20, 15)
    EXPECT_TRUE(img.GuardsIntact());
    EXPECT_TRUE(HasPixels(img, kWhite, SetOf({{18, 21, 14, 15}, {19, 20, 13, 13}, {19, 20, 16, 16}})));
    EXPECT_EQ(20, Count(img, kBlack));

    struct Size {
        int w, h;
    } sizes[] = {{1, 1}, {2, 1}, {7, 5}, {1, 320}, {320, 3}};
    for (const Size& sz : sizes) {
        SCOPED_TRACE(testing::Message() << sz.w << "x" << sz.h);
        Image tiny = Render(Shape(100, -50, 20, 1, 9.0f, 1), 2160, sz.w, sz.h);
        EXPECT_TRUE(tiny.GuardsIntact());
        EXPECT_TRUE(OnlyValues(tiny, kWhite, kBlack));
    }
}

TEST(RenderCrosshair, EmptyBufferIsLeftAlone) {
    const int sizes[][2] = {{0, 0}, {0, 320}, {320, 0}, {-5, 10}, {10, -5}};
    for (const auto& sz : sizes) {
        SCOPED_TRACE(testing::Message() << sz[0] << "x" << sz[1]);
        Image img = Render(kBuiltinPresets[0].settings, 1080, sz[0], sz[1]);
        EXPECT_TRUE(img.GuardsIntact());
    }
}

// ---- Hostile values -----------------------------------------------------

enum Field { kSize, kGap, kThickness, kOutlineThickness };
const char* const kFieldNames[] = {"size", "gap", "thickness", "outlineThickness"};

TEST(RenderCrosshair, NonFiniteAndHugeValuesStayHarmless) {
    const float values[] = {NAN,     INFINITY, -INFINITY, (float)1e39, (float)-1e39,
                            FLT_MAX, -FLT_MAX, 3e9f,      -3e9f,       1e-40f};
    const int heights[] = {1080, 2160, 0, -1080, INT32_MAX, INT32_MIN};
    for (int field = kSize; field <= kOutlineThickness; ++field)
        for (float v : values)
            for (int height : heights)
                for (int tStyle = 0; tStyle <= 1; ++tStyle) {
                    SCOPED_TRACE(testing::Message() << kFieldNames[field] << " = " << v
                                                    << " at " << height << " tStyle " << tStyle);
                    CrosshairSettings s = Shape(3, 1, 1, 1, 1.0f, 1, tStyle);
                    float* target[] = {&s.size, &s.gap, &s.thickness, &s.outlineThickness};
                    *target[field] = v;
                    Image img = Render(s, height);
                    ASSERT_TRUE(img.GuardsIntact());
                    ASSERT_TRUE(OnlyValues(img, kWhite, kBlack));
                    // The dot is always there; nothing can push it away.
                    EXPECT_EQ(kWhite, img.at(160, 160));
                }
}

TEST(RenderCrosshair, HostileValuesGiveTheLimitedPicture) {
    struct Case {
        const char* name;
        CrosshairSettings s;
        int whitePixels;  // -1: not checked
        bool reachesRightEdge;
    } cases[] = {
        // No arms: only the 2 x 2 dot.
        {"size NaN", Shape(NAN, 0, 1, 0, 0, 1), 4, false},
        {"size +inf", Shape(INFINITY, 0, 1, 0, 0, 1), -1, true},
        // Arms pointing inwards without end cover the whole band to both edges.
        {"size -inf", Shape(-INFINITY, 0, 1, 0, 0, 0), 320 * 2 * 2 - 4, true},
        {"gap +inf pushes the arms out", Shape(3, INFINITY, 1, 0, 0, 1), 4, false},
        {"gap -inf pushes the arms out", Shape(3, -INFINITY, 1, 0, 0, 1), 4, false},
        {"gap NaN is a gap of 0", Shape(3, NAN, 1, 0, 0, 0), 14 * 2 * 2 - 4, false},
        // Arms as wide as the buffer: two full-height and two full-width bands.
        {"thickness +inf", Shape(3, 0, INFINITY, 0, 0, 0), 2 * 14 * 320 - 14 * 14, false},
        {"thickness NaN is one pixel", Shape(3, 0, NAN, 0, 0, 0), 4 * 7, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image img = Render(c.s, 1080);
        if (c.whitePixels >= 0) {
            EXPECT_EQ(c.whitePixels, Count(img, kWhite));
        }
        EXPECT_EQ(c.reachesRightEdge, img.at(319, 160) == kWhite);
    }
}

}  // namespace
