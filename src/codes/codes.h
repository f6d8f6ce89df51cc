// Crosshair codes: reading cl_crosshair console commands out of pasted text and
// writing the current crosshair as one such command line.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include "crosshair/crosshair.h"

enum { kCodeMaxTokens = 512, kCodeLineChars = 1024, kCodeColourRows = 5 };

extern const uint8_t CodeColourTable[kCodeColourRows][3];

// Applies the recognised commands of text to *crosshair (callers pass a copy)
// and returns how many command-value pairs it applied; 0 means no code.
int ParseCrosshairCode(const wchar_t* text, CrosshairSettings* crosshair);

// Writes the code line of crosshair into buf (count elements, always terminated).
// Returns its length.
int FormatCrosshairCode(const CrosshairSettings& crosshair, wchar_t* buf, size_t count);
