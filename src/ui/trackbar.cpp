// Float field to trackbar position without undefined conversions.
#include "ui/trackbar.h"

#include <math.h>

int32_t TrackbarPositionFor(float value) {
    // Doubling in double precision is exact for every float, so the rounding
    // sees the true value.
    double doubled = (double)value * 2.0;
    if (isnan(doubled)) return 0;
    double rounded = round(doubled);  // halves away from zero
    if (rounded >= (double)kTrackbarPositionLimit) return kTrackbarPositionLimit;
    if (rounded <= -(double)kTrackbarPositionLimit) return -kTrackbarPositionLimit;
    return (int32_t)rounded;
}
