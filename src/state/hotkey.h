// The hotkeys' portable rules: display text, the conversions between the
// stored modifiers and the hotkey control's flags, and which combinations the
// toggle and the crosshair switch register.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "storage/settings.h"

enum {
    kModNoRepeat = 0x4000,
    kHotkeyfShift = 0x01, kHotkeyfControl = 0x02, kHotkeyfAlt = 0x04, kHotkeyfExt = 0x08,
    kHotkeyTextChars = 64,
};

// Asks the system for a key's name (GetKeyNameTextW with the given argument);
// returns the characters written, 0 when there is none.
typedef int (*KeyNameFn)(int32_t keyNameArgument, wchar_t* buf, int count);
// Maps a virtual key to its scan code (MapVirtualKeyW, virtual key to scan code).
typedef uint32_t (*ScanCodeFn)(uint32_t virtualKey);

// The key-name argument: scan code in bits 16-23, bit 24 for the extended keys.
int32_t KeyNameArgument(uint32_t virtualKey, uint32_t scanCode);
// "Ctrl + Alt + Shift + K" style text into buf (count >= 64), always terminated.
void FormatHotkeyTextFor(int32_t key, int32_t modifiers, ScanCodeFn scan, KeyNameFn name,
                         wchar_t* buf, size_t count);

// Stored modifiers -> control flags (never HOTKEYF_EXT).
uint32_t ModifiersToHotkeyFlags(int32_t modifiers);
// The hotkey control's value for a stored hotkey: key in the low byte, flags above,
// only the low 11 bits kept.
uint32_t HotkeyControlValue(int32_t key, int32_t modifiers);
// Reading the control: false (ignore) for no key or a lone Shift/Ctrl/Alt;
// otherwise the key and the modifiers, with Ctrl added when neither Ctrl nor Alt is held.
bool HotkeyFromControlValue(uint32_t value, int32_t* key, int32_t* modifiers);

// A stored combination. The switch has no default: a key outside 1..254
// (0 above all) means the player has recorded none.
struct HotkeyCombo {
    int32_t key, modifiers;
};
bool HotkeyIsSet(const HotkeyCombo& combo);
// Reading the switch's control: an empty control, or Backspace or Delete with
// no modifier, clears the combination (true, key 0); otherwise as
// HotkeyFromControlValue, false meaning nothing to take.
bool SwitchHotkeyFromControlValue(uint32_t value, HotkeyCombo* combo);
// The same combination as RegisterHotKey sees it: the key and the modifiers,
// the no-repeat flag aside (every registration adds it).
bool SameRegisteredHotkey(const HotkeyCombo& a, const HotkeyCombo& b);
// A control refuses a new combination equal to the other hotkey's.
bool HotkeyClashes(const HotkeyCombo& candidate, const HotkeyCombo& other);
// The switch's way back: its keys with Shift added. None when the switch is
// none or holds Shift already, and none when that is the toggle's combination:
// the toggle keeps what the player gave it.
HotkeyCombo SwitchBackHotkey(const HotkeyCombo& forward, const HotkeyCombo& toggle);

// What is registered on the message window while the game is in front, in
// this order: the toggle, the switch unless it is none or the toggle's own
// combination (a hand-edited file), and the switch's way back.
struct HotkeyRegistration {
    int32_t id;
    uint32_t modifiers;  // as RegisterHotKey takes them: no-repeat included
    uint32_t key;
    HotkeyCombo combo;   // as stored, for the text that names it
};
enum { kHotkeyRegistrationsMax = 3 };
struct HotkeyPlan {
    HotkeyRegistration rows[kHotkeyRegistrationsMax];
    int32_t count;
};
void PlanHotkeyRegistrations(const HotkeyCombo& toggle, const HotkeyCombo& forward,
                             HotkeyPlan* plan);
// The switch direction a WM_HOTKEY id asks for (kSwitchForward, kSwitchBack
// of the saved-crosshairs store), or 0 for the toggle and unknown ids.
int SwitchDirectionOfHotkey(int32_t id);
