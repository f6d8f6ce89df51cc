// Trackbar positions of the half-unit crosshair fields: rounding and the
// values a hand-edited file or an import can bring (NaN, infinities, huge).
#include <gtest/gtest.h>

#include <limits>

#include "ui/trackbar.h"

namespace {

struct PositionCase {
    const char* name;
    float value;
    int32_t position;
};

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

const PositionCase kPositionCases[] = {
    {"zero", 0.0f, 0},
    {"negative zero", -0.0f, 0},
    {"slider step", 2.5f, 5},
    {"negative slider step", -5.0f, -10},
    {"quarter rounds half up", 0.25f, 1},
    {"negative quarter rounds half away", -0.25f, -1},
    {"three quarters", 1.75f, 4},
    {"below a half stays", 0.2f, 0},
    {"just below a quarter", 0.24999999f, 0},
    {"file value past the range", 12.0f, 24},
    {"NaN", kNaN, 0},
    {"negative NaN", -kNaN, 0},
    {"infinity", kInf, kTrackbarPositionLimit},
    {"minus infinity", -kInf, -kTrackbarPositionLimit},
    {"largest float", std::numeric_limits<float>::max(), kTrackbarPositionLimit},
    {"lowest float", std::numeric_limits<float>::lowest(), -kTrackbarPositionLimit},
    {"exactly at the limit", 536870912.0f, kTrackbarPositionLimit},
    {"just inside the limit", 536870880.0f, 1073741760},
    {"just inside the negative limit", -536870880.0f, -1073741760},
    {"beyond int32 after doubling", 2e9f, kTrackbarPositionLimit},
    {"tiny positive", 1e-30f, 0},
};

TEST(TrackbarPosition, RoundsAndClampsEveryFloat) {
    for (const PositionCase& row : kPositionCases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.position, TrackbarPositionFor(row.value));
    }
}

// Every position the sliders produce (position x 0.5) comes back unchanged.
TEST(TrackbarPosition, SliderValuesRoundTrip) {
    for (int32_t position = -200; position <= 200; ++position) {
        SCOPED_TRACE(position);
        EXPECT_EQ(position, TrackbarPositionFor((float)position * 0.5f));
    }
}

}  // namespace
