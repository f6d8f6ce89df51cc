// Which static texts of the settings window are teal headings, grey notes,
// coloured status lines, or keep the default colour.
#include "ui/text_colours.h"

#include "storage/store.h"
#include "base/ids.h"

namespace {

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

const uint32_t kHeadingColour = Rgb(0, 150, 160);
const uint32_t kGameAwayColour = Rgb(120, 120, 120);

}  // namespace

bool StaticTextColour(int32_t controlId, bool gameInFront, int32_t statusKind, uint32_t* colour) {
    switch (controlId) {
    case kIdStatusLine: *colour = StatusKindColour(statusKind); return true;
    // The game in front is good news, in the status line's own green.
    case kIdGameStatus:
        *colour = gameInFront ? StatusKindColour(kStatusSuccess) : kGameAwayColour;
        return true;
    case kIdHeading: *colour = kHeadingColour; return true;
    case kIdNoteAuto:
    case kIdNoteHotkey:
    case kIdFooter: *colour = StatusKindColour(kStatusHint); return true;
    }
    return false;
}
