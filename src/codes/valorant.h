// Crosshair profile codes of VALORANT ("0;P;c;5;h;0;0l;4;..."): reading one
// run of text as such a code, and drawing its primary crosshair with ours.
#pragma once
#include <stdint.h>
#include <wchar.h>

#include "crosshair/crosshair.h"

enum {
    kValorantPrimaryKeys = 17,     // the primary section's keys that reach our crosshair
    kValorantScreenHeight = kNativeScreenHeight,  // the code's pixels are drawn as on a screen this high
};

// The primary section as our crosshair needs it: every key read or at its
// default, held to the game's range; the hex colour's red, green and blue.
struct ValorantCode {
    double primary[kValorantPrimaryKeys];
    uint8_t hexColour[3];
};

// "0;": every code opens with its general section.
extern const wchar_t kValorantCodeStart[];

// Whether a code may start just after c: any character that cannot be part
// of one ("mira:0;P;...", "`0;P;...`", "(0;P;...)"), never a letter, a digit,
// ";" or ".".
bool OpensValorantCode(wchar_t c);

// Where the run that starts at p ends: at the first character that cannot
// continue a code, or end. A full stop stuck to its end ("... 0;P;c;5.") and
// one closing ";" are left out.
const wchar_t* ValorantRunEnd(const wchar_t* p, const wchar_t* end);

// Reads the run [p, runEnd), which must begin with "0;", as a code. Fills
// *code and returns true only when every token of the run is well formed.
bool ReadValorantCode(const wchar_t* p, const wchar_t* runEnd, ValorantCode* code);

// Draws the code's primary crosshair with ours: the same pixels a share code
// of those lengths would give at 1080 lines. Offsets never change.
void ApplyValorantCode(const ValorantCode& code, CrosshairSettings* crosshair);
