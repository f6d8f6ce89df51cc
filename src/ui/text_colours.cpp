// Which static texts of the settings window are teal headings, grey notes,
// coloured status lines, or keep the default colour.
#include "ui/text_colours.h"

#include "base/ids.h"
#include "ui/window_text.h"

namespace {


uint32_t GameStatusColour(int32_t gameStatus) {
    switch (gameStatus) {
    // The game in front is good news, in the status line's own green.
    case kGameInFront: return StatusKindColour(kStatusSuccess);
    case kGameSaveRefused: return StatusKindColour(kStatusError);
    }
    return kGameAwayColour;
}

}  // namespace

bool StaticTextColour(int32_t controlId, int32_t gameStatus, int32_t statusKind, bool hotkeyTaken,
                      uint32_t* colour) {
    switch (controlId) {
    case kIdStatusLine: *colour = StatusKindColour(statusKind); return true;
    case kIdGameStatus: *colour = GameStatusColour(gameStatus); return true;
    case kIdHeading: *colour = kHeadingColour; return true;
    // A taken hotkey is a warning, in the status line's own colour for one.
    case kIdNoteHotkey:
        *colour = StatusKindColour(hotkeyTaken ? kStatusError : kStatusHint);
        return true;
    case kIdNoteAuto:
    case kIdNoteImage:
    case kIdFooter: *colour = StatusKindColour(kStatusHint); return true;
    }
    return false;
}
