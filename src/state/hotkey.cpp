// The hotkeys' rules without Windows: display text, the conversions between
// the stored modifiers and the hotkey control's flags, and the registrations.
#include "state/hotkey.h"

#include "state/identity.h"
#include "base/wtext.h"
#include "storage/store.h"

namespace {
enum {
    kKeyA = 65, kKeyZ = 90, kKey0 = 48, kKey9 = 57,
    kKeyF1 = 112, kKeyF24 = 135, kFunctionKeyBase = 111,
    kKeyShift = 16, kKeyControl = 17, kKeyAlt = 18, kKeyBackspace = 8, kKeyDelete = 46,
    kScanCodeShift = 16, kScanCodeMask = 0xFF, kExtendedKeyBit = 1 << 24,
    kControlKeyMask = 0xFF, kControlFlagsShift = 8, kControlFlagsMask = 0xFF,
    kControlValueMask = 0x7FF,
};

// Keys whose plain scan code names a numeric-pad key; the extended bit makes
// GetKeyNameTextW name the navigation key (Home, not "Num 7").
const uint8_t kExtendedKeys[] = {33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 111, 144};

const wchar_t kPrefixControl[] = L"Ctrl + ";
const wchar_t kPrefixAlt[] = L"Alt + ";
const wchar_t kPrefixShift[] = L"Shift + ";
const wchar_t kNoPrefix[] = L"";
const wchar_t kFormatCharacter[] = L"%lc";
const wchar_t kFormatFunctionKey[] = L"F%u";
const wchar_t kFormatUnnamedKey[] = L"Tecla %u";
const wchar_t kFormatJoined[] = L"%ls%ls%ls%ls";

bool IsExtendedKey(uint32_t virtualKey) {
    for (uint8_t key : kExtendedKeys) {
        if (key == virtualKey) return true;
    }
    return false;
}

bool IsLetterOrDigit(int32_t key) {
    return (key >= kKeyA && key <= kKeyZ) || (key >= kKey0 && key <= kKey9);
}

void FormatKeyName(int32_t key, ScanCodeFn scan, KeyNameFn name, wchar_t* buf, size_t count) {
    if (IsLetterOrDigit(key)) {
        FormatW(buf, count, kFormatCharacter, (wint_t)key);
        return;
    }
    if (key >= kKeyF1 && key <= kKeyF24) {
        FormatW(buf, count, kFormatFunctionKey, (unsigned)(key - kFunctionKeyBase));
        return;
    }
    buf[0] = 0;
    uint32_t virtualKey = (uint32_t)key;
    int written = name(KeyNameArgument(virtualKey, scan(virtualKey)), buf, (int)count);
    // Some layouts answer with an empty name and a non-zero count, so the text decides.
    if (written <= 0 || buf[0] == 0) FormatW(buf, count, kFormatUnnamedKey, (unsigned)key);
}
}  // namespace

int32_t KeyNameArgument(uint32_t virtualKey, uint32_t scanCode) {
    int32_t argument = (int32_t)((scanCode & kScanCodeMask) << kScanCodeShift);
    if (IsExtendedKey(virtualKey)) argument |= kExtendedKeyBit;
    return argument;
}

void FormatHotkeyTextFor(int32_t key, int32_t modifiers, ScanCodeFn scan, KeyNameFn name,
                         wchar_t* buf, size_t count) {
    wchar_t keyName[kHotkeyTextChars];
    FormatKeyName(key, scan, name, keyName, kHotkeyTextChars);
    FormatW(buf, count, kFormatJoined, (modifiers & kModControl) ? kPrefixControl : kNoPrefix,
            (modifiers & kModAlt) ? kPrefixAlt : kNoPrefix,
            (modifiers & kModShift) ? kPrefixShift : kNoPrefix, keyName);
}

uint32_t ModifiersToHotkeyFlags(int32_t modifiers) {
    uint32_t flags = 0;
    if (modifiers & kModAlt) flags |= kHotkeyfAlt;
    if (modifiers & kModControl) flags |= kHotkeyfControl;
    if (modifiers & kModShift) flags |= kHotkeyfShift;
    return flags;
}

uint32_t HotkeyControlValue(int32_t key, int32_t modifiers) {
    uint32_t value = ((uint32_t)key & kControlKeyMask) |
                     (ModifiersToHotkeyFlags(modifiers) << kControlFlagsShift);
    return value & kControlValueMask;
}

bool HotkeyFromControlValue(uint32_t value, int32_t* key, int32_t* modifiers) {
    int32_t controlKey = (int32_t)(value & kControlKeyMask);
    if (controlKey == 0 || controlKey == kKeyShift || controlKey == kKeyControl ||
        controlKey == kKeyAlt) {
        return false;
    }
    uint32_t flags = (value >> kControlFlagsShift) & kControlFlagsMask;
    int32_t result = 0;
    if (flags & kHotkeyfControl) result |= kModControl;
    if (flags & kHotkeyfAlt) result |= kModAlt;
    if (flags & kHotkeyfShift) result |= kModShift;
    // A bare key or Shift+key would swallow ordinary typing in the game, so
    // such a choice always gets Ctrl.
    if (!(result & (kModControl | kModAlt))) result |= kModControl;
    *key = controlKey;
    *modifiers = result;
    return true;
}

bool HotkeyIsSet(const HotkeyCombo& combo) { return IsValidHotkeyKey(combo.key); }

bool SwitchHotkeyFromControlValue(uint32_t value, HotkeyCombo* combo) {
    uint32_t key = value & kControlKeyMask;
    uint32_t flags = (value >> kControlFlagsShift) & kControlFlagsMask;
    bool modified = (flags & (kHotkeyfShift | kHotkeyfControl | kHotkeyfAlt)) != 0;
    if (key == 0 || (!modified && (key == kKeyBackspace || key == kKeyDelete))) {
        *combo = {0, 0};
        return true;
    }
    return HotkeyFromControlValue(value, &combo->key, &combo->modifiers);
}

bool SameRegisteredHotkey(const HotkeyCombo& a, const HotkeyCombo& b) {
    return a.key == b.key && (a.modifiers | kModNoRepeat) == (b.modifiers | kModNoRepeat);
}

bool HotkeyClashes(const HotkeyCombo& candidate, const HotkeyCombo& other) {
    return HotkeyIsSet(candidate) && HotkeyIsSet(other) && SameRegisteredHotkey(candidate, other);
}

HotkeyCombo SwitchBackHotkey(const HotkeyCombo& forward, const HotkeyCombo& toggle) {
    const HotkeyCombo none = {0, 0};
    if (!HotkeyIsSet(forward) || (forward.modifiers & kModShift)) return none;
    HotkeyCombo back = {forward.key, forward.modifiers | kModShift};
    // Registering it would fail against our own toggle and read as another
    // program's doing.
    return HotkeyClashes(back, toggle) ? none : back;
}

namespace {
void AddRegistration(HotkeyPlan* plan, int32_t id, const HotkeyCombo& combo) {
    if (!HotkeyIsSet(combo) || plan->count >= kHotkeyRegistrationsMax) return;
    // No repeat: holding the keys must act once, not flicker or race through the list.
    plan->rows[plan->count] = {id, (uint32_t)combo.modifiers | kModNoRepeat, (uint32_t)combo.key,
                               combo};
    ++plan->count;
}
}  // namespace

void PlanHotkeyRegistrations(const HotkeyCombo& toggle, const HotkeyCombo& forward,
                             HotkeyPlan* plan) {
    plan->count = 0;
    AddRegistration(plan, kToggleHotkeyId, toggle);
    if (HotkeyClashes(forward, toggle)) return;
    AddRegistration(plan, kSwitchHotkeyId, forward);
    AddRegistration(plan, kSwitchBackHotkeyId, SwitchBackHotkey(forward, toggle));
}

int SwitchDirectionOfHotkey(int32_t id) {
    if (id == kSwitchHotkeyId) return kSwitchForward;
    if (id == kSwitchBackHotkeyId) return kSwitchBack;
    return 0;
}
