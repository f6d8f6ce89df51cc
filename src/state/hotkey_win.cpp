// The toggle hotkey on Windows: registered on the message window only while
// the game is in front, and its display text from the system's key names.
#include "state/process_win.h"

#include "state/hotkey.h"

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
