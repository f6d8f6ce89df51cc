// Which static texts of the settings window are teal headings, grey notes,
// coloured status lines, or keep the default colour.
#include "ui/text_colours.h"

#include <wctype.h>

#include "storage/store.h"
#include "ui/ids.h"

namespace {

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

const uint32_t kHeadingColour = Rgb(0, 150, 160);
const uint32_t kNoteColour = Rgb(110, 110, 110);
const uint32_t kGameInFrontColour = Rgb(0, 130, 60);
const uint32_t kGameAwayColour = Rgb(120, 120, 120);
const wchar_t kGameInFrontMark = L'●';
const wchar_t kFooterStart[] = L"Tu";
// An unnamed control's identifier -1 reads back as 65535 through a 16-bit word.
const int32_t kUnnamedReadBack = 65535;

bool BeginsWithTwoCapitals(const wchar_t* text) {
    // Capitals by the C library's class: the headings are all written in capitals.
    return text[0] != 0 && text[1] != 0 && iswupper((wint_t)text[0]) &&
           iswupper((wint_t)text[1]);
}

bool BeginsWith(const wchar_t* text, const wchar_t* start) {
    for (; *start; ++start, ++text) {
        if (*text != *start) return false;
    }
    return true;
}

bool UnnamedTextColour(const wchar_t* text, uint32_t* colour) {
    if (text[0] == 0) return false;
    if (BeginsWithTwoCapitals(text)) {
        *colour = kHeadingColour;
        return true;
    }
    if (BeginsWith(text, kFooterStart)) {
        *colour = kNoteColour;
        return true;
    }
    return false;
}

}  // namespace

bool StaticTextColour(int32_t controlId, const wchar_t* text, int32_t statusKind,
                      uint32_t* colour) {
    if (!text) text = L"";
    switch (controlId) {
    case kIdStatusLine: *colour = StatusKindColour(statusKind); return true;
    case kIdGameStatus:
        *colour = text[0] == kGameInFrontMark ? kGameInFrontColour : kGameAwayColour;
        return true;
    case kIdNoteAuto:
    case kIdNoteHotkey: *colour = kNoteColour; return true;
    case kIdUnnamed:
    case kUnnamedReadBack: return UnnamedTextColour(text, colour);
    }
    return false;
}
