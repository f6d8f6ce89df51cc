// Crosshair share codes of the shooter players come from ("CSGO-xxxxx-..." and
// "CS" + 44 symbols), and the pixel sizes its newer formats and console
// variables use, mapped onto our crosshair record; and the writer of its "CS" codes.
#pragma once
#include <stdint.h>
#include <wchar.h>

#include "crosshair/crosshair.h"

enum {
    kShareCodeMaxBytes = 32,
    kShareCodeChars = 47,          // "CS", 44 symbols and the terminator
    kShareCodeMaxHeight = 0xFFFF,  // the screen height is a 16-bit field
    kShareCodeCommands = 12,  // what a code counts as: the exported line's command count
    kDefaultScreenHeight = kNativeScreenHeight,
};

enum ShareCodeFormat {
    kFormatLegacyV1,  // sizes in tenths of crosshair units
    kFormatLegacyV3,  // the three below: whole pixels at a stated screen height
    kFormatLegacyV4,
    kFormatCs2V1,
};

struct ShareCode {
    ShareCodeFormat format;
    uint8_t bytes[kShareCodeMaxBytes];  // byte 0 first, as the format layouts number them
};

enum ShareCodeRead {
    kNoShareCode,       // nothing shaped like a code starts here
    kShareCodeDamaged,  // shaped like one, but a check failed
    kShareCodeValid,
};

// Reads the share code that may start at p (end: the end of the text). The
// caller makes sure no ASCII letter or digit stands just before p; the code
// must not be followed by one either. Fills *code only when valid.
ShareCodeRead ReadShareCodeAt(const wchar_t* p, const wchar_t* end, ShareCode* code);

bool IsAsciiLetterOrDigit(wchar_t c);

// Sizes in pixels at a screen height, some of them given.
struct PixelSizes {
    float screenHeight;
    float length, gap, thickness;
    bool hasLength, hasGap, hasThickness;
};

// Turns the given pixel sizes into crosshair units, so that at screenHeight
// the rasterizer draws exactly those pixels (the gap only there).
void ApplyPixelSizes(const PixelSizes& sizes, CrosshairSettings* crosshair);

// Puts every field a valid code carries into *crosshair; offsets never change.
void ApplyShareCode(const ShareCode& code, CrosshairSettings* crosshair);

// Writes crosshair as a cs2-v1 code ("CS" + 44 symbols) for a screen of
// screenHeight lines (held to 1..65535) into buf (count elements, always
// terminated); returns its length. Length, thickness and gap are the pixels the
// rasterizer draws at that height, clamped to what the code holds; a crosshair
// whose outline is at most one pixel and whose arms fit is drawn, once read
// back, with exactly the same pixels at that height. Offsets are not carried.
int FormatShareCode(const CrosshairSettings& crosshair, int32_t screenHeight, wchar_t* buf,
                    size_t count);
