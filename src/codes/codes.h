// Crosshair codes: reading share codes, VALORANT codes and cl_crosshair
// console commands out of pasted text, and writing the current crosshair as
// one command line.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include "crosshair/crosshair.h"

enum { kCodeMaxTokens = 512, kCodeLineChars = 1024, kCodeColourRows = 5 };

extern const uint8_t CodeColourTable[kCodeColourRows][3];

// Applies the first valid share code of text, or when there is none the first
// VALORANT code (either counted as 12 commands), and then the recognised
// commands to *crosshair (callers pass a copy), and returns how many it
// applied; 0 means no code. Anything applied makes it a drawn crosshair (no
// image); codes never carry the image fields, and the export leaves them out. *unreadableCode, when given, tells whether
// that 0 comes with something shaped like a share code that failed a check.
int ParseCrosshairCode(const wchar_t* text, CrosshairSettings* crosshair,
                       bool* unreadableCode = nullptr);

// Writes the code line of crosshair into buf (count elements, always terminated).
// Returns its length.
int FormatCrosshairCode(const CrosshairSettings& crosshair, wchar_t* buf, size_t count);
