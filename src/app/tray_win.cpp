// The tray icon: one record reused for every Shell_NotifyIconW call, its tip,
// its menu and the balloon notices.
#include "app/app_win.h"

#include "app/hotkey.h"
#include "app/tray_text.h"

NOTIFYICONDATAW g_trayIcon;

static_assert(sizeof(g_trayIcon.szTip) / sizeof(wchar_t) == kTrayTipChars, "tip field size");
static_assert(sizeof(g_trayIcon.szInfoTitle) / sizeof(wchar_t) == kBalloonTitleChars,
              "balloon title field size");
static_assert(sizeof(g_trayIcon.szInfo) / sizeof(wchar_t) == kBalloonTextChars,
              "balloon text field size");

namespace {
// The full current record, with hBalloonIcon; no version is requested, so the
// callback's lParam stays the plain mouse message.
void FillFixedTrayMembers() {
    g_trayIcon.cbSize = sizeof(NOTIFYICONDATAW);
    g_trayIcon.hWnd = g_app.messageWindow;
    g_trayIcon.uID = kTrayIconId;
    g_trayIcon.uCallbackMessage = kWmTrayIcon;
    g_trayIcon.hIcon = g_app.smallIcon;
}
}  // namespace

void AddTrayIcon() {
    // From a cleared record: a notice from before must not come back with the new icon.
    ZeroMemory(&g_trayIcon, sizeof(g_trayIcon));
    FillFixedTrayMembers();
    FormatTrayTip();
    g_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Shell_NotifyIconW(NIM_ADD, &g_trayIcon);
}

void DeleteTrayIcon() { Shell_NotifyIconW(NIM_DELETE, &g_trayIcon); }

void FormatTrayTip() {
    wchar_t hotkey[kHotkeyTextChars];
    FormatHotkeyText(hotkey, kHotkeyTextChars);
    FormatTrayTipText(hotkey, g_trayIcon.szTip, kTrayTipChars);
}

void RefreshHotkeyTexts() {
    if (g_app.settingsWindow) {
        wchar_t hotkey[kHotkeyTextChars];
        wchar_t caption[kEnabledCaptionChars];
        FormatHotkeyText(hotkey, kHotkeyTextChars);
        FormatEnabledCaption(hotkey, caption, kEnabledCaptionChars);
        SetDlgItemTextW(g_app.settingsWindow, kIdCheckEnabled, caption);
    }
    FormatTrayTip();
    g_trayIcon.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &g_trayIcon);
}

HMENU BuildTrayMenu() {
    wchar_t hotkey[kHotkeyTextChars];
    wchar_t toggleItem[kToggleMenuItemChars];
    FormatHotkeyText(hotkey, kHotkeyTextChars);
    FormatToggleMenuItem(hotkey, toggleItem, kToggleMenuItemChars);
    HMENU menu = CreatePopupMenu();
    // The state shows only here, worked out each time the menu opens.
    AppendMenuW(menu, MF_STRING | (g_options.enabled ? MF_CHECKED : MF_UNCHECKED), kCmdToggle,
                toggleItem);
    AppendMenuW(menu, MF_STRING, kCmdOpenSettings, kOpenSettingsMenuText);
    AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuW(menu, MF_STRING, kCmdQuit, kQuitMenuText);
    SetMenuDefaultItem(menu, kCmdOpenSettings, FALSE);
    return menu;
}

void ShowTrayMenu() {
    HMENU menu = BuildTrayMenu();
    POINT cursor;
    GetCursorPos(&cursor);
    // The owner must be the foreground window, or the menu stays open after a
    // click elsewhere.
    SetForegroundWindow(g_app.messageWindow);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, g_app.messageWindow, NULL);
    // Lets the shell finish the menu's mode before the next click on the icon.
    PostMessageW(g_app.messageWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

void ShowBalloon(const wchar_t* title, const wchar_t* text) {
    g_trayIcon.uFlags = NIF_INFO;
    CutBalloonTitle(title, g_trayIcon.szInfoTitle);
    CutBalloonText(text, g_trayIcon.szInfo);
    g_trayIcon.dwInfoFlags = NIIF_USER | NIIF_LARGE_ICON;
    g_trayIcon.hBalloonIcon = g_app.largeIcon;
    Shell_NotifyIconW(NIM_MODIFY, &g_trayIcon);
}
