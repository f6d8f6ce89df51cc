// Text colours of the settings window's static texts (which also paint the
// check boxes and trackbars), decided from the control's identifier, whether
// the game is in front and the status kind, never from the text itself.
// Portable, so the rules are tested without Windows.
#pragma once
#include <stdint.h>

// Writes the colour (0x00BBGGRR, like COLORREF) and returns true when the
// control gets one; false leaves the system's text colour.
bool StaticTextColour(int32_t controlId, bool gameInFront, int32_t statusKind, uint32_t* colour);
