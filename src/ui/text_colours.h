// Text colours of the settings window's static texts (which also paint the
// check boxes and trackbars), decided from the control's identifier, whether
// the game is in front and the status kind, never from the text itself.
// Portable, so the rules are tested without Windows.
#pragma once
#include <stdint.h>

#include "base/colour.h"

// The colours no status decides: teal headings, and the game status label's
// grey while the game is away.
constexpr uint32_t kHeadingColour = Rgb(0, 150, 160);
constexpr uint32_t kGameAwayColour = Rgb(120, 120, 120);

// What the game status label 701 says: whether the game is in front, or, in
// the status line's warning colour, that config.ini refuses every change.
enum GameStatus { kGameAway = 0, kGameInFront = 1, kGameSaveRefused = 2 };

// The system colour that stands for a coloured text under high contrast, where
// fixed colours may vanish into the player's chosen background: headings take
// the hot-track colour, quiet texts (notes, hints, the game away) the grey
// text colour, and news (success, error, the game in front) the text colour.
enum ContrastColour { kContrastWindowText, kContrastGrayText, kContrastHotLight };

// Writes the colour (0x00BBGGRR, like COLORREF) and, when contrast is given,
// its high-contrast stand-in, and returns true when the control gets one;
// false leaves the system's text colour. hotkeyTaken: the hotkey note tells
// of a combination another program holds.
bool StaticTextColour(int32_t controlId, int32_t gameStatus, int32_t statusKind, bool hotkeyTaken,
                      uint32_t* colour, ContrastColour* contrast = nullptr);
