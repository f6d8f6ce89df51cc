// Colours of the settings window's static texts by control: headings, notes,
// the footer, the game status label and the status line.
#include <gtest/gtest.h>

#include "base/ids.h"
#include "ui/text_colours.h"
#include "ui/window_text.h"

namespace {

const uint32_t kTeal = kHeadingColour;
const uint32_t kNoteGrey = StatusKindColour(kStatusHint);
const uint32_t kGreen = StatusKindColour(kStatusSuccess);
const uint32_t kAwayGrey = kGameAwayColour;
const uint32_t kRed = StatusKindColour(kStatusError);
const uint32_t kDefault = 0xFFFFFFFF;  // the control keeps the system's colour

struct ColourCase {
    const char* name;
    int32_t id;
    int32_t gameStatus;
    int32_t statusKind;
    uint32_t colour;
    bool hotkeyTaken = false;
    int contrast = -1;  // the high-contrast stand-in, a ContrastColour; -1 unchecked
};

const ColourCase kColourCases[] = {
    {"heading", kIdHeading, false, 0, kTeal, false, kContrastHotLight},
    {"heading while the game is in front", kIdHeading, true, 0, kTeal},
    {"caption", kIdUnnamed, false, 0, kDefault},
    {"caption read back as 65535", 65535, false, 0, kDefault},
    {"footer", kIdFooter, false, 0, kNoteGrey, false, kContrastGrayText},
    {"game in front", kIdGameStatus, true, 0, kGreen, false, kContrastWindowText},
    {"game away, or the label still empty", kIdGameStatus, false, 0, kAwayGrey, false,
     kContrastGrayText},
    {"config.ini refusing every change", kIdGameStatus, kGameSaveRefused, 0, kRed},
    {"automatic note", kIdNoteAuto, false, 0, kNoteGrey},
    {"server label", kIdServerLabel, true, 0, kNoteGrey},
    {"hotkey note", kIdNoteHotkey, false, 0, kNoteGrey},
    {"hotkey note while another program holds a hotkey", kIdNoteHotkey, false, 0, kRed, true,
     kContrastWindowText},
    {"a taken hotkey colours only its note", kIdNoteAuto, false, 0, kNoteGrey, true},
    {"status hint", kIdStatusLine, false, 0, kNoteGrey, false, kContrastGrayText},
    {"status success", kIdStatusLine, false, 1, kGreen},
    {"status error", kIdStatusLine, false, 2, kRed, false, kContrastWindowText},
    {"unknown status kind draws as a hint", kIdStatusLine, false, 9, kNoteGrey},
    {"negative status kind draws as a hint", kIdStatusLine, false, -1, kNoteGrey},
    {"check box", kIdCheckEnabled, true, 0, kDefault},
    {"value label", kIdLabelSize, false, 0, kDefault},
    {"check box of the options", kIdCheckAutostart, false, 0, kDefault},
};

::testing::AssertionResult ColourOf(const ColourCase& row) {
    uint32_t colour = 0x12345678;
    ContrastColour contrast = kContrastWindowText;
    bool has = StaticTextColour(row.id, row.gameStatus, row.statusKind, row.hotkeyTaken, &colour,
                                &contrast);
    uint32_t got = has ? colour : kDefault;
    if (row.contrast >= 0 && contrast != row.contrast)
        return ::testing::AssertionFailure() << "high-contrast colour " << contrast;
    if (!has && colour != 0x12345678) {
        return ::testing::AssertionFailure() << "wrote a colour but answered false";
    }
    if (got == row.colour) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "colour 0x" << got << ", expected 0x"
                                         << row.colour;
}

TEST(StaticTextColour, FollowsIdentifierGameAndStatusKind) {
    for (const ColourCase& row : kColourCases) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(ColourOf(row));
    }
}

}  // namespace
