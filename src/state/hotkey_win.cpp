// The hotkeys on Windows: the toggle, the crosshair switch and its way back,
// registered on the message window only while the game is in front; a
// combination another program holds; the display text from the system's key names.
#include "state/process_win.h"

#include "state/change.h"
#include "state/hotkey.h"

namespace {
// What the system holds for us, and what it refused.
struct HotkeyHold {
    HotkeyPlan plan;          // made from the records when the game comes in front
    bool planned;
    uint32_t held;            // bit i: row i of the plan is registered
    bool taken;               // a registration failed while the game was in front
    HotkeyCombo takenCombo;   // the first combination that failed
};
HotkeyHold g_hold;

uint32_t RowBit(int32_t row) { return 1u << row; }

uint32_t ScanCodeOfKey(uint32_t virtualKey) { return MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC); }

int SystemKeyName(int32_t keyNameArgument, wchar_t* buf, int count) {
    return GetKeyNameTextW(keyNameArgument, buf, count);
}

// The note and the tray tip follow only when what they say changes: the tick
// runs this up to 67 times a second.
void NoteTaken(bool failed, const HotkeyCombo& combo) {
    if (failed == g_hold.taken && (!failed || SameRegisteredHotkey(combo, g_hold.takenCombo)))
        return;
    g_hold.taken = failed;
    g_hold.takenCombo = combo;
    FollowChange(kHotkeyTakenChanged);
}

void RegisterMissingHotkeys() {
    if (!g_hold.planned) {
        HotkeyCombo toggle = {g_options.hotkeyKey, g_options.hotkeyModifiers};
        HotkeyCombo forward = {g_options.switchKey, g_options.switchModifiers};
        PlanHotkeyRegistrations(toggle, forward, &g_hold.plan);
        g_hold.planned = true;
    }
    bool failed = false;
    HotkeyCombo failedCombo = {0, 0};
    for (int32_t i = 0; i < g_hold.plan.count; ++i) {
        if (g_hold.held & RowBit(i)) continue;
        const HotkeyRegistration& row = g_hold.plan.rows[i];
        if (RegisterHotKey(g_app.messageWindow, row.id, row.modifiers, row.key)) {
            g_hold.held |= RowBit(i);
        } else if (!failed) {
            // The game is in front, so nothing of ours holds it: another program does.
            failed = true;
            failedCombo = row.combo;
        }
    }
    NoteTaken(failed, failedCombo);
}
}  // namespace

void UpdateHotkeyRegistration(bool gameInFront) {
    if (gameInFront) {
        RegisterMissingHotkeys();  // every tick tries again what another program held
    } else {
        WithdrawHotkeys();
    }
}

void WithdrawHotkeys() {
    for (int32_t i = 0; i < g_hold.plan.count; ++i)
        if (g_hold.held & RowBit(i)) UnregisterHotKey(g_app.messageWindow, g_hold.plan.rows[i].id);
    g_hold.held = 0;
    // The records may change before the game is back in front.
    g_hold.planned = false;
}

void HotkeysChanged() {
    WithdrawHotkeys();
    // The new combinations have not been refused yet; the next tick in front tells.
    g_hold.taken = false;
}

bool FormatTakenHotkeyText(wchar_t* buf, size_t count) {
    if (!g_hold.taken) return false;
    FormatHotkeyTextFor(g_hold.takenCombo.key, g_hold.takenCombo.modifiers, ScanCodeOfKey,
                        SystemKeyName, buf, count);
    return true;
}

void FormatHotkeyText(wchar_t* buf, size_t count) {
    FormatHotkeyTextFor(g_options.hotkeyKey, g_options.hotkeyModifiers, ScanCodeOfKey,
                        SystemKeyName, buf, count);
}
