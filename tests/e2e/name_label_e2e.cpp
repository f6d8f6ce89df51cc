// The name label's text as GDI draws it, in this process: a mask of whole
// text pixels that follows the DPI, and nothing for an empty name.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "overlay/name_label_win.h"

namespace {

struct Mask {
    uint8_t* bits = nullptr;
    int32_t width = 0, height = 0;
    bool drawn = false;
    Mask(const wchar_t* name, int32_t dpi) {
        drawn = DrawNameMask(name, dpi, &bits, &width, &height);
    }
    ~Mask() { free(bits); }
    int Count(uint8_t value) const {
        int n = 0;
        for (int32_t i = 0; i < width * height; ++i) n += bits[i] == value;
        return n;
    }
};

TEST(NameLabelGdi, WholeTextPixelsThatGrowWithTheDpi) {
    Mask normal(L"Sniper", 96), high(L"Sniper", 144);
    ASSERT_TRUE(normal.drawn);
    ASSERT_TRUE(high.drawn);
    EXPECT_GT(normal.Count(255), 0);
    EXPECT_GT(normal.Count(0), 0);
    EXPECT_EQ(normal.width * normal.height, normal.Count(255) + normal.Count(0));
    EXPECT_GT(high.height, normal.height);
    EXPECT_GT(high.width, normal.width);
}

TEST(NameLabelGdi, EmptyNameDrawsNothing) {
    Mask empty(L"", 96);
    EXPECT_FALSE(empty.drawn);
    EXPECT_EQ(nullptr, empty.bits);
    EXPECT_EQ(0, empty.width);
}

}  // namespace
