// The toggle hotkey's portable rules: display text and the conversions between
// the stored modifiers and the hotkey control's flags.
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
// The stored key is valid when it lies in 1..254 (as an unsigned number).
bool IsValidHotkeyKey(int32_t key);
