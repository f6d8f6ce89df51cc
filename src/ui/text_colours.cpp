// Which static texts of the settings window are teal headings, grey notes,
// coloured status lines, or keep the default colour.
#include "ui/text_colours.h"

#include "base/ids.h"
#include "ui/window_text.h"

namespace {


// A status colour's high-contrast stand-in: a hint is quiet, anything else news.
ContrastColour ContrastOfKind(int32_t statusKind) {
    return StatusKindColour(statusKind) == StatusKindColour(kStatusHint) ? kContrastGrayText
                                                                         : kContrastWindowText;
}

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
                      uint32_t* colour, ContrastColour* contrast) {
    int32_t kind = kStatusHint;  // the status kind whose colours the text takes
    switch (controlId) {
    case kIdStatusLine: kind = statusKind; break;
    case kIdGameStatus:
        *colour = GameStatusColour(gameStatus);
        if (contrast)
            *contrast = *colour == kGameAwayColour ? kContrastGrayText : kContrastWindowText;
        return true;
    case kIdHeading:
        *colour = kHeadingColour;
        if (contrast) *contrast = kContrastHotLight;
        return true;
    // A taken hotkey is a warning, in the status line's own colour for one.
    case kIdNoteHotkey: kind = hotkeyTaken ? kStatusError : kStatusHint; break;
    case kIdNoteAuto:
    case kIdNoteImage:
    case kIdServerLabel:
    case kIdFooter: break;
    default: return false;
    }
    *colour = StatusKindColour(kind);
    if (contrast) *contrast = ContrastOfKind(kind);
    return true;
}
