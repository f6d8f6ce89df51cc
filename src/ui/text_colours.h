// Text colours of the settings window's static texts (which also paint the
// check boxes and trackbars), decided from the control's identifier, the start
// of its text and the status kind. Portable, so the rules are tested without Windows.
#pragma once
#include <stdint.h>

// Characters of a text the rules look at (the Windows side reads this many).
enum { kColourProbeChars = 7 };

// Writes the colour (0x00BBGGRR, like COLORREF) and returns true when the
// control gets one; false leaves the system's text colour.
bool StaticTextColour(int32_t controlId, const wchar_t* text, int32_t statusKind,
                      uint32_t* colour);
