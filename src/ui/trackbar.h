// Trackbar positions for the crosshair's half-unit fields, safe for any float a
// settings file or an import can hold.
#pragma once
#include <stdint.h>

enum : int32_t { kTrackbarPositionLimit = 1 << 30 };

// round(value x 2), halves away from zero; NaN gives 0 and anything beyond
// +-2^30 gives that limit, so the conversion to an integer is always defined.
int32_t TrackbarPositionFor(float value);
