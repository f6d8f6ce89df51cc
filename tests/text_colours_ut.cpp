// Colours of the settings window's static texts: headings in capitals, notes,
// the footer, the game status label and the status line.
#include <gtest/gtest.h>

#include "ui/ids.h"
#include "ui/text_colours.h"

namespace {

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

const uint32_t kTeal = Rgb(0, 150, 160);
const uint32_t kNoteGrey = Rgb(110, 110, 110);
const uint32_t kGreen = Rgb(0, 130, 60);
const uint32_t kAwayGrey = Rgb(120, 120, 120);
const uint32_t kRed = Rgb(190, 30, 30);
const uint32_t kDefault = 0xFFFFFFFF;  // the control keeps the system's colour

struct ColourCase {
    const char* name;
    int32_t id;
    const wchar_t* text;
    int32_t statusKind;
    uint32_t colour;
};

const ColourCase kColourCases[] = {
    {"heading with an accent", kIdUnnamed, L"PRÉVIA (ampliada)", 0, kTeal},
    {"heading of the options", kIdUnnamed, L"QUANDO MOSTRAR A MIRA", 0, kTeal},
    {"short heading", kIdUnnamed, L"SISTEMA", 0, kTeal},
    {"heading read back as 65535", 65535, L"MIRAS SALVAS", 0, kTeal},
    {"two capitals win over Tu", kIdUnnamed, L"TUDO", 0, kTeal},
    {"one capital", kIdUnnamed, L"Tamanho", 0, kDefault},
    {"short caption", kIdUnnamed, L"Cor", 0, kDefault},
    {"a lone capital", kIdUnnamed, L"A", 0, kDefault},
    {"footer", kIdUnnamed, L"Tudo é salv", 0, kNoteGrey},
    {"Tu alone", kIdUnnamed, L"Tu", 0, kNoteGrey},
    {"lower-case tu", kIdUnnamed, L"tudo", 0, kDefault},
    {"empty text", kIdUnnamed, L"", 0, kDefault},
    {"no text", kIdUnnamed, nullptr, 0, kDefault},
    {"game in front", kIdGameStatus, L"● FiveM", 0, kGreen},
    {"game away", kIdGameStatus, L"○ FiveM", 0, kAwayGrey},
    {"game label still empty", kIdGameStatus, L"", 0, kAwayGrey},
    {"automatic note", kIdNoteAuto, L"Automático: (AP", 0, kNoteGrey},
    {"hotkey note", kIdNoteHotkey, L"Clique", 0, kNoteGrey},
    {"status hint", kIdStatusLine, L"Cole o", 0, kNoteGrey},
    {"status success", kIdStatusLine, L"✔ Mira", 1, kGreen},
    {"status error", kIdStatusLine, L"✖ Não", 2, kRed},
    {"unknown status kind draws as a hint", kIdStatusLine, L"x", 9, kNoteGrey},
    {"negative status kind draws as a hint", kIdStatusLine, L"x", -1, kNoteGrey},
    {"capitals on a named control", kIdCheckEnabled, L"MIRA", 0, kDefault},
    {"value label", kIdLabelSize, L"-1.5", 0, kDefault},
    {"footer text on a named control", kIdCheckAutostart, L"Tu", 0, kDefault},
};

::testing::AssertionResult ColourOf(const ColourCase& row) {
    uint32_t colour = 0x12345678;
    bool has = StaticTextColour(row.id, row.text, row.statusKind, &colour);
    uint32_t got = has ? colour : kDefault;
    if (!has && colour != 0x12345678) {
        return ::testing::AssertionFailure() << "wrote a colour but answered false";
    }
    if (got == row.colour) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "colour 0x" << got << ", expected 0x"
                                         << row.colour;
}

TEST(StaticTextColour, FollowsIdentifierTextAndStatusKind) {
    for (const ColourCase& row : kColourCases) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(ColourOf(row));
    }
}

}  // namespace
