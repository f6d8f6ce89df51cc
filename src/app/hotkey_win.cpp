// The toggle hotkey on Windows: registered on the message window only while
// the game is in front, its display text from the system's key names, and
// taking a new combination from the settings window's hotkey control.
#include "app/app_win.h"

#include <commctrl.h>

#include "app/hotkey.h"

namespace {
// 1 exactly while the system holds our registration.
int g_hotkeyRegistered;

uint32_t ScanCodeOfKey(uint32_t virtualKey) { return MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC); }

int SystemKeyName(int32_t keyNameArgument, wchar_t* buf, int count) {
    return GetKeyNameTextW(keyNameArgument, buf, count);
}
}  // namespace

void UpdateHotkeyRegistration(bool gameInFront) {
    if (gameInFront && !g_hotkeyRegistered) {
        // No repeat: holding the keys must toggle once, not flicker.
        if (RegisterHotKey(g_app.messageWindow, kToggleHotkeyId,
                           (UINT)(g_options.hotkeyModifiers | kModNoRepeat),
                           (UINT)g_options.hotkeyKey)) {
            g_hotkeyRegistered = 1;
        }
    } else if (!gameInFront && g_hotkeyRegistered) {
        UnregisterToggleHotkey();
    }
}

void UnregisterToggleHotkey() {
    if (!g_hotkeyRegistered) return;
    UnregisterHotKey(g_app.messageWindow, kToggleHotkeyId);
    g_hotkeyRegistered = 0;
}

void FormatHotkeyText(wchar_t* buf, size_t count) {
    FormatHotkeyTextFor(g_options.hotkeyKey, g_options.hotkeyModifiers, ScanCodeOfKey,
                        SystemKeyName, buf, count);
}

void TakeHotkeyFromControl(HWND hotkeyControl) {
    uint32_t value = (uint32_t)SendMessageW(hotkeyControl, HKM_GETHOTKEY, 0, 0);
    int32_t key = 0, modifiers = 0;
    if (!HotkeyFromControlValue(value, &key, &modifiers)) return;
    g_options.hotkeyKey = key;
    g_options.hotkeyModifiers = modifiers;
    // The old combination must stop at once; the next tick with the game in
    // front registers the new one.
    UnregisterToggleHotkey();
    SaveCurrentSettingsWithin(kProfileTryOnce);
    RefreshHotkeyTexts();
}
