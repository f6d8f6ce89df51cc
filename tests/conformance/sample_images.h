// Image files as hexadecimal bytes that both the decoding table and the
// image tab's end-to-end cases hand to the program.
#pragma once

namespace samples {
// 257 x 1 grey PNG: a pixel too wide.
extern const char kWidePng[];
// A 16 x 16 GIF whose only frame, 4 x 4 red, stands at (12, 12) of its screen.
extern const char kOffsetGif[];
// 1 x 1 grey JPEG: a format Windows reads, but no crosshair may be.
extern const char kGreyJpeg[];
}  // namespace samples
