// The toggle hotkey's display text and the conversions to and from the
// settings window's hotkey control, with fake key-name callbacks standing in
// for MapVirtualKeyW and GetKeyNameTextW.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <wchar.h>

#include <string>

#include "state/hotkey.h"

namespace {

const int32_t kExtended = 1 << 24;

// A few keys of a Brazilian ABNT2 keyboard, scan codes as the system reports them.
struct FakeScanRow { uint32_t virtualKey, scanCode; };
const FakeScanRow kFakeScanCodes[] = {
    {36, 0x47},   // Home shares its scan code with numeric-pad 7
    {103, 0x47},  // numeric-pad 7
    {111, 0x35},  // numeric-pad divide shares its scan code with the slash key
    {45, 0x52},   // Insert
    {186, 0x27},  // the Ç key
    {13, 0x1C},   // Enter
};

struct FakeNameRow { int32_t argument; const wchar_t* name; };
const FakeNameRow kFakeNames[] = {
    {0x47 << 16 | kExtended, L"Home"},
    {0x47 << 16, L"Num 7"},
    {0x35 << 16 | kExtended, L"Num /"},
    {0x35 << 16, L"/"},
    {0x52 << 16 | kExtended, L"Insert"},
    {0x27 << 16, L"Ç"},
    {0x1C << 16, L"Enter"},
};

int g_lastNameCount = 0;

uint32_t FakeScan(uint32_t virtualKey) {
    for (const FakeScanRow& row : kFakeScanCodes) {
        if (row.virtualKey == virtualKey) return row.scanCode;
    }
    return 0;
}

int FakeName(int32_t argument, wchar_t* buf, int count) {
    g_lastNameCount = count;
    for (const FakeNameRow& row : kFakeNames) {
        if (row.argument == argument) {
            int n = 0;
            for (; row.name[n] && n + 1 < count; ++n) buf[n] = row.name[n];
            buf[n] = 0;
            return n;
        }
    }
    return 0;
}

int LongName(int32_t, wchar_t* buf, int count) {
    int n = 0;
    for (; n < 70 && n + 1 < count; ++n) buf[n] = L'x';
    buf[n] = 0;
    return n;
}

int NameCallNotExpected(int32_t, wchar_t* buf, int) {
    ADD_FAILURE() << "key name asked for a key with a fixed name";
    buf[0] = 0;
    return 0;
}

::testing::AssertionResult HotkeyTextIs(const wchar_t* expected, int32_t key, int32_t modifiers,
                                        KeyNameFn name = FakeName) {
    wchar_t buf[kHotkeyTextChars];
    wmemset(buf, L'#', kHotkeyTextChars);
    FormatHotkeyTextFor(key, modifiers, FakeScan, name, buf, kHotkeyTextChars);
    if (wcscmp(buf, expected) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "key " << key << " modifiers " << modifiers << " gave "
           << ::testing::PrintToString(std::wstring(buf));
}

struct TextRow {
    const char* name;
    int32_t key, modifiers;
    const wchar_t* text;
};

const TextRow kTextRows[] = {
    {"default Ctrl+O", 79, kModControl, L"Ctrl + O"},
    {"digit 5", 53, 0, L"5"},
    {"digit 0 with Alt", 48, 1, L"Alt + 0"},
    {"letter Z", 90, 4, L"Shift + Z"},
    {"F1", 112, 0, L"F1"},
    {"F13", 124, 0, L"F13"},
    {"F24", 135, kModControl, L"Ctrl + F24"},
    {"Home names the navigation key", 36, kModControl, L"Ctrl + Home"},
    {"numeric-pad 7 has no extended bit", 103, kModControl, L"Ctrl + Num 7"},
    {"numeric-pad divide", 111, 1, L"Alt + Num /"},
    {"Insert", 45, kModControl, L"Ctrl + Insert"},
    {"non-ASCII key name", 186, 4, L"Shift + Ç"},
    {"all three modifiers in order", 75, 7, L"Ctrl + Alt + Shift + K"},
    {"Ctrl and Shift", 116, 6, L"Ctrl + Shift + F5"},
    {"Alt and Shift", 65, 5, L"Alt + Shift + A"},
    {"no system name", 7, kModControl, L"Ctrl + Tecla 7"},
    {"no name and no scan code", 254, 0, L"Tecla 254"},
    {"no-repeat bit does not show", 79, kModControl | kModNoRepeat, L"Ctrl + O"},
};

TEST(Hotkey, DisplayText) {
    for (const TextRow& row : kTextRows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(HotkeyTextIs(row.text, row.key, row.modifiers));
    }
}

TEST(Hotkey, LettersDigitsAndFunctionKeysNeverAskTheSystem) {
    EXPECT_TRUE(HotkeyTextIs(L"K", 75, 0, NameCallNotExpected));
    EXPECT_TRUE(HotkeyTextIs(L"9", 57, 0, NameCallNotExpected));
    EXPECT_TRUE(HotkeyTextIs(L"F12", 123, 0, NameCallNotExpected));
}

TEST(Hotkey, SystemNameIsAskedWith64Characters) {
    g_lastNameCount = 0;
    EXPECT_TRUE(HotkeyTextIs(L"Enter", 13, 0));
    EXPECT_EQ(64, g_lastNameCount);
}

TEST(Hotkey, LongTextIsCutTo63Characters) {
    wchar_t buf[kHotkeyTextChars];
    FormatHotkeyTextFor(13, 7, FakeScan, LongName, buf, kHotkeyTextChars);
    EXPECT_EQ(63u, wcslen(buf));
    EXPECT_EQ(0, wcsncmp(buf, L"Ctrl + Alt + Shift + xxx", 24));
}

struct ArgumentRow {
    const char* name;
    uint32_t virtualKey, scanCode;
    int32_t argument;
};

const ArgumentRow kArgumentRows[] = {
    {"Page Up", 33, 0x49, 0x01490000},   {"Page Down", 34, 0x51, 0x01510000},
    {"End", 35, 0x4F, 0x014F0000},       {"Home", 36, 0x47, 0x01470000},
    {"Left", 37, 0x4B, 0x014B0000},      {"Up", 38, 0x48, 0x01480000},
    {"Right", 39, 0x4D, 0x014D0000},     {"Down", 40, 0x50, 0x01500000},
    {"Insert", 45, 0x52, 0x01520000},    {"Delete", 46, 0x53, 0x01530000},
    {"pad divide", 111, 0x35, 0x01350000}, {"Num Lock", 144, 0x45, 0x01450000},
    {"pad 7", 103, 0x47, 0x00470000},    {"Enter", 13, 0x1C, 0x001C0000},
    {"Space", 32, 0x39, 0x00390000},     {"Print Screen", 44, 0x37, 0x00370000},
    {"scan code above a byte", 65, 0x11E, 0x001E0000},
};

TEST(Hotkey, KeyNameArgumentPlacesScanCodeAndExtendedBit) {
    for (const ArgumentRow& row : kArgumentRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.argument, KeyNameArgument(row.virtualKey, row.scanCode));
    }
}

struct FromControlRow {
    const char* name;
    uint32_t value;
    bool taken;
    int32_t key, modifiers;
};

const FromControlRow kFromControlRows[] = {
    {"Shift+K gets Ctrl", 0x0100 | 75, true, 75, 6},
    {"K alone gets Ctrl", 75, true, 75, kModControl},
    {"Alt+K stays without Ctrl", 0x0400 | 75, true, 75, 1},
    {"Ctrl+Insert drops the extended flag", 0x0A00 | 45, true, 45, kModControl},
    {"extended flag alone gets Ctrl", 0x0800 | 36, true, 36, kModControl},
    {"Ctrl+Alt+Shift+K", 0x0700 | 75, true, 75, 7},
    {"Alt+Shift+F5", 0x0500 | 116, true, 116, 5},
    {"Ctrl+Shift+F5", 0x0300 | 116, true, 116, 6},
    {"cleared control", 0, false, 0, 0},
    {"key 0 with Ctrl", 0x0200, false, 0, 0},
    {"Shift alone", 0x0100 | 16, false, 0, 0},
    {"Ctrl alone", 0x0200 | 17, false, 0, 0},
    {"Alt alone", 0x0400 | 18, false, 0, 0},
    {"key 255", 0x0200 | 255, true, 255, kModControl},
};

TEST(Hotkey, FromControlValue) {
    for (const FromControlRow& row : kFromControlRows) {
        SCOPED_TRACE(row.name);
        int32_t key = -7, modifiers = -7;
        EXPECT_EQ(row.taken, HotkeyFromControlValue(row.value, &key, &modifiers));
        if (row.taken) {
            EXPECT_EQ(row.key, key);
            EXPECT_EQ(row.modifiers, modifiers);
        } else {
            EXPECT_EQ(-7, key);
            EXPECT_EQ(-7, modifiers);
        }
    }
}

struct ToControlRow {
    const char* name;
    int32_t key, modifiers;
    uint32_t flags, value;
};

const ToControlRow kToControlRows[] = {
    {"Ctrl+O", 79, kModControl, 0x02, 0x024F},
    {"Alt+K", 75, 1, 0x04, 0x044B},
    {"Shift only", 75, 4, 0x01, 0x014B},
    {"all three", 75, 7, 0x07, 0x074B},
    {"none", 36, 0, 0x00, 0x0024},
    {"no-repeat and unknown bits ignored", 79, kModNoRepeat | 0xF8 | kModControl, 0x02, 0x024F},
    {"key 254 with Alt+Shift", 254, 5, 0x05, 0x05FE},
};

TEST(Hotkey, ToControlValue) {
    for (const ToControlRow& row : kToControlRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.flags, ModifiersToHotkeyFlags(row.modifiers));
        EXPECT_EQ(row.value, HotkeyControlValue(row.key, row.modifiers));
    }
}

TEST(Hotkey, ControlRoundTripKeepsWhatTheWindowCanMake) {
    const int32_t modifierSets[] = {1, 2, 3, 5, 6, 7};
    for (int32_t modifiers : modifierSets) {
        for (int32_t key = 1; key <= 254; ++key) {
            if (key == 16 || key == 17 || key == 18) continue;
            int32_t gotKey = 0, gotModifiers = 0;
            ASSERT_TRUE(HotkeyFromControlValue(HotkeyControlValue(key, modifiers), &gotKey,
                                               &gotModifiers))
                << key << " " << modifiers;
            ASSERT_EQ(key, gotKey);
            ASSERT_EQ(modifiers, gotModifiers);
        }
    }
}

struct ValidRow { int32_t key; bool valid; };
const ValidRow kValidRows[] = {
    {0, false}, {1, true}, {79, true}, {254, true}, {255, false}, {-1, false},
    {INT32_MIN, false}, {INT32_MAX, false}, {256, false},
};

TEST(Hotkey, ValidKeyIs1To254) {
    for (const ValidRow& row : kValidRows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(row.valid, IsValidHotkeyKey(row.key));
    }
}

const HotkeyCombo kCtrlO = {79, 2}, kCtrlK = {75, 2}, kCtrlShiftK = {75, 6}, kNone = {0, 0};

struct PlanRow {
    const char* name;
    HotkeyCombo toggle, forward;
    const char* ids;    // registered, in order
    HotkeyCombo back;   // what id 3 registers
};

const PlanRow kPlanRows[] = {
    {"no default: the toggle alone", kCtrlO, kNone, "1", kNone},
    {"key out of range is none", kCtrlO, {255, 2}, "1", kNone},
    {"switch as id 2, Shift back as id 3", kCtrlO, kCtrlK, "123", kCtrlShiftK},
    {"switch holding Shift has no way back", kCtrlO, kCtrlShiftK, "12", kNone},
    {"the way back is the toggle's", kCtrlShiftK, kCtrlK, "12", kNone},
    {"switch equal to the toggle is left out", kCtrlK, {75, 2 | kModNoRepeat}, "1", kNone},
};

TEST(Hotkey, Registrations) {
    for (const PlanRow& row : kPlanRows) {
        SCOPED_TRACE(row.name);
        HotkeyPlan plan = {};
        PlanHotkeyRegistrations(row.toggle, row.forward, &plan);
        ASSERT_EQ((int32_t)strlen(row.ids), plan.count);
        for (int32_t i = 0; i < plan.count; ++i) {
            const HotkeyRegistration& got = plan.rows[i];
            EXPECT_EQ(row.ids[i] - '0', got.id);
            const HotkeyCombo& want =
                got.id == 1 ? row.toggle : got.id == 2 ? row.forward : row.back;
            EXPECT_EQ((uint32_t)(want.modifiers | kModNoRepeat), got.modifiers);
            EXPECT_EQ((uint32_t)want.key, got.key);
            EXPECT_TRUE(SameRegisteredHotkey(want, got.combo));
        }
    }
}

TEST(Hotkey, SwitchControlClears) {
    const struct {
        const char* name;
        uint32_t value;
        bool taken;
        int32_t key, modifiers;
    } rows[] = {
        {"empty", 0, true, 0, 0},
        {"Backspace", 8, true, 0, 0},
        {"Delete, extended", 0x0800 | 46, true, 0, 0},
        {"Ctrl+Delete", 0x0200 | 46, true, 46, 2},
        {"Shift alone", 0x0100 | 16, false, -7, -7},
        {"K gets Ctrl", 75, true, 75, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HotkeyCombo combo = {-7, -7};
        EXPECT_EQ(row.taken, SwitchHotkeyFromControlValue(row.value, &combo));
        EXPECT_EQ(row.key, combo.key);
        EXPECT_EQ(row.modifiers, combo.modifiers);
    }
}

TEST(Hotkey, SwitchDirectionOfEachId) {
    const struct { int32_t id; int direction; } rows[] = {{1, 0}, {2, 1}, {3, -1}, {4, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(row.direction, SwitchDirectionOfHotkey(row.id));
    }
}

TEST(Hotkey, SameAsTheOtherIsRefused) {
    const struct { const char* name; HotkeyCombo candidate, other; bool clashes; } rows[] = {
        {"same keys", kCtrlK, kCtrlK, true},
        {"no-repeat flag aside", {75, 2 | kModNoRepeat}, kCtrlK, true},
        {"Shift makes another", kCtrlShiftK, kCtrlK, false},
        {"cleared never clashes", kNone, kNone, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.clashes, HotkeyClashes(row.candidate, row.other));
        EXPECT_EQ(row.clashes, HotkeyClashes(row.other, row.candidate));
    }
}

}  // namespace
