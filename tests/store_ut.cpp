// The saved-crosshairs store's portable rules: the name rules, the save
// decision, the list lines and applying a line.
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "conformance/conformance.h"
#include "base/wtext.h"
#include "crosshair/crosshair.h"
#include "storage/profile.h"
#include "storage/settings.h"
#include "storage/store.h"

namespace {

using conformance::SameText;
using conformance::TempDir;
using conformance::Utf16Le;
using conformance::WriteBytes;

struct NameRow {
    const char* name;
    const wchar_t* typed;
    const wchar_t* saved;
};

const NameRow kNameRows[] = {
    {"refused characters become spaces, inner runs stay", L"  [Minha]=mira;★  ", L"Minha  mira"},
    {"only spaces", L"     ", L""},
    {"only refused characters", L";=[]★", L""},
    {"empty", L"", L""},
    {"line break", L"a\r\nb", L"a  b"},
    {"tabs at the ends", L"\tmira\t", L"mira"},
    {"other control characters", L"x\x01y\x1Fz", L"x y z"},
    {"no-break space stays", L"\x00A0mira\x00A0", L"\x00A0mira\x00A0"},
    {"delete character stays", L"a\x7F", L"a\x7F"},
    {"accents stay", L"Cruz Padrão", L"Cruz Padrão"},
    {"star of a built-in line", L"★ Cruz branca", L"Cruz branca"},
};

TEST(NameRules, Rows) {
    for (const NameRow& row : kNameRows) {
        SCOPED_TRACE(row.name);
        wchar_t name[kNameBoxChars];
        CopyW(name, kNameBoxChars, row.typed);
        ApplyNameRules(name);
        EXPECT_TRUE(SameText(name, row.saved));
    }
}

struct DecideRow {
    const char* name;
    const wchar_t* cleanedName;
    int count;
    bool goOn;
    SaveNote note;
    int focus;
    bool unreadableCode;
    bool wearingImage = false;
};

TEST(DecideSave, FourWaysAndTheDamagedCode) {
    const DecideRow rows[] = {
        {"neither", L"", 0, false, kNoteNeedBoth, kFocusImportBox, false},
        {"code only", L"", 3, false, kNoteNeedName, kFocusNameBox, false},
        {"name only", L"Minha", 0, false, kNoteNeedCode, kFocusImportBox, false},
        {"both", L"Minha", 1, true, kNoteSaved, kFocusNone, false},
        {"no name text at all", nullptr, 0, false, kNoteNeedBoth, kFocusImportBox,
         false},
        {"damaged code with a name", L"Minha", 0, false, kNoteCodeDamaged, kFocusImportBox,
         true},
        {"damaged code without a name", L"", 0, false, kNoteCodeDamaged, kFocusImportBox,
         true},
        {"image worn, a name and no code", L"Minha", 0, true, kNoteSaved, kFocusNone, false,
         true},
        {"image worn without a name", L"", 0, false, kNoteNeedName, kFocusNameBox, false,
         true},
        {"image worn, damaged code", L"Minha", 0, false, kNoteCodeDamaged,
         kFocusImportBox, true, true},
    };
    for (const DecideRow& row : rows) {
        SCOPED_TRACE(row.name);
        SaveDecision d =
            DecideSave(row.cleanedName, row.count, row.unreadableCode, row.wearingImage);
        EXPECT_EQ(row.goOn, d.goOn);
        EXPECT_EQ(row.note, d.note);
        EXPECT_EQ(row.focus, d.focus);
        EXPECT_EQ(row.goOn ? kStatusSuccess : kStatusError, d.kind);
    }
}

class StoreLines : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        miras_ = dir_.Path(L"miras.ini");
    }
    const wchar_t* miras() const { return miras_.c_str(); }
    TempDir dir_;
    std::wstring miras_;
};

void CollectLine(void* context, const wchar_t* text, int32_t itemData) {
    static_cast<std::vector<std::pair<std::wstring, int32_t>>*>(context)->emplace_back(text,
                                                                                       itemData);
}

TEST_F(StoreLines, BuiltinLinesComeFirstWithTheirStar) {
    WriteBytes(miras_, Utf16Le(L"[Cruz branca]\r\ntamanho=1.000\r\n"));
    std::vector<std::pair<std::wstring, int32_t>> lines;
    BuildSavedList(miras(), CollectLine, &lines);
    std::vector<std::pair<std::wstring, int32_t>> expected = {
        {L"★ Zavik Padrão", 0}, {L"★ Ponto branco", 1},       {L"★ Cruz branca", 2},
        {L"★ Cruz branca vazada", 3}, {L"Cruz branca", kItemDataSaved},
    };
    EXPECT_EQ(expected, lines);
}

TEST_F(StoreLines, BuiltinLineCopiesEveryFieldButTheOffsets) {
    for (int32_t i = 0; i < kBuiltinPresetCount; ++i) {
        SCOPED_TRACE(i);
        CrosshairSettings current = {9.0f, 9.0f, 9.0f, 9, 9.0f, 9, 9, 9, 9, 9, 9, 30, -12};
        SetCrosshairImage(&current, L"mira.png");
        current.imageScale = 300;
        ASSERT_TRUE(ApplyListLine(miras(), L"★ whatever", i, &current));
        CrosshairSettings expected = kBuiltinPresets[i].settings;
        expected.offsetX = 30;
        expected.offsetY = -12;
        EXPECT_EQ(0, memcmp(&expected, &current, sizeof current));
    }
}

TEST_F(StoreLines, SavedLineReadsOverTheCurrentValues) {
    WriteBytes(miras_, Utf16Le(L"[Meia]\r\ntamanho=3.000\r\ncor_r=300\r\nposicao_x=55\r\n"));
    CrosshairSettings current = kBuiltinPresets[0].settings;
    current.gap = 1.23456f;
    current.offsetX = 4;
    current.offsetY = 5;
    ASSERT_TRUE(ApplyListLine(miras(), L"Meia", kItemDataSaved, &current));
    EXPECT_EQ(3.0f, current.size);
    EXPECT_EQ(44, current.red);
    EXPECT_EQ(1.235f, current.gap);  // a missing key passes through "%.3f"
    EXPECT_EQ(4, current.offsetX);   // the file's offsets never apply
    EXPECT_EQ(5, current.offsetY);
}

// A pick brings a saved image back with its scale, or ends the image worn
// now; the offsets stay the player's.
TEST_F(StoreLines, SavedLinesBringTheirImageOrNone) {
    WriteBytes(miras_, Utf16Le(L"[Imagem]\r\ntamanho=1.000\r\nimagem=ponto.png\r\nescala_imagem=150\r\n"
                               L"[Desenhada]\r\ntamanho=1.000\r\n"));
    CrosshairSettings current = kBuiltinPresets[0].settings;
    SetCrosshairImage(&current, L"atual.png");
    current.offsetX = 6;
    ASSERT_TRUE(ApplyListLine(miras(), L"Imagem", kItemDataSaved, &current));
    EXPECT_TRUE(SameText(current.image, L"ponto.png"));
    EXPECT_EQ(150, current.imageScale);
    EXPECT_EQ(6, current.offsetX);
    ASSERT_TRUE(ApplyListLine(miras(), L"Desenhada", kItemDataSaved, &current));
    EXPECT_FALSE(CrosshairUsesImage(current));
}

TEST_F(StoreLines, LinesLongerThan63CharactersAreRefused) {
    std::wstring fits(kListTextLimit, L'a');
    std::wstring tooLong(kListTextLimit + 1, L'a');
    WriteBytes(miras_, Utf16Le(L"[" + fits + L"]\r\ntamanho=4.000\r\n[" + tooLong +
                               L"]\r\ntamanho=4.000\r\n"));
    CrosshairSettings current = kBuiltinPresets[0].settings;
    EXPECT_FALSE(ApplyListLine(miras(), tooLong.c_str(), kItemDataSaved, &current));
    EXPECT_EQ(-1.5f, current.size);
    EXPECT_TRUE(ApplyListLine(miras(), fits.c_str(), kItemDataSaved, &current));
    EXPECT_EQ(4.0f, current.size);
}

CrosshairSettings Look(float size, float gap, int32_t offsetX) {
    CrosshairSettings c = kBuiltinPresets[0].settings;
    c.size = size;
    c.gap = gap;
    c.offsetX = offsetX;
    return c;
}

TEST_F(StoreLines, SwitchGoesToTheNextLine) {
    const CrosshairSettings pistol = Look(2.0f, 1.0f, 0), sniper = Look(3.0f, 5.0f, 0);
    const CrosshairSettings& first = kBuiltinPresets[0].settings;
    const CrosshairSettings& dot = kBuiltinPresets[1].settings;
    ASSERT_TRUE(SaveCrosshairToFile(miras(), L"Pistola", pistol, false));
    ASSERT_TRUE(SaveCrosshairToFile(miras(), L"Cópia", dot, false));
    ASSERT_TRUE(SaveCrosshairToFile(miras(), L"Sniper", sniper, false));
    std::wstring tooLong(kListTextLimit + 1, L'a');
    ASSERT_TRUE(SaveCrosshairToFile(miras(), tooLong.c_str(), Look(9.0f, 9.0f, 0), false));
    const struct {
        const char* name;
        CrosshairSettings current;
        int direction;
        const wchar_t* text;
        int32_t itemData;
    } rows[] = {
        {"equals a built-in", first, kSwitchForward, L"★ Ponto branco", 1},
        {"equals a saved line but the offsets", Look(2.0f, 1.0f, 40), kSwitchForward,
         L"Cópia", kItemDataSaved},
        {"more decimals than the file keeps", Look(2.0004f, 1.0f, 0), kSwitchForward,
         L"Cópia", kItemDataSaved},
        {"last wraps past the line too long to apply", sniper, kSwitchForward,
         L"★ Zavik Padrão", 0},
        {"equals none", Look(7.0f, 1.0f, 0), kSwitchForward, L"★ Zavik Padrão", 0},
        {"equals none, back", Look(7.0f, 1.0f, 0), kSwitchBack, L"Sniper", kItemDataSaved},
        {"going back", pistol, kSwitchBack, L"★ Cruz branca vazada", 3},
        {"first wraps back", first, kSwitchBack, L"Sniper", kItemDataSaved},
        {"a repeated look is left after its later line", dot, kSwitchForward, L"Sniper",
         kItemDataSaved},
        {"a repeated look is left back before its earlier line", dot, kSwitchBack,
         L"★ Zavik Padrão", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ListEntry next = {};
        ASSERT_TRUE(NextListEntry(miras(), row.current, row.direction, &next));
        EXPECT_TRUE(SameText(next.text, row.text));
        EXPECT_EQ(row.itemData, next.itemData);
    }
}

}  // namespace
