// The tray icon: one record reused for every Shell_NotifyIconW call, its tip,
// its menu and the balloon notices; and the hidden top-level window that owns
// the menu and passes the shell's broadcasts on to the message window.
#include "app/app_win.h"

#include <wchar.h>

#include "state/hotkey.h"

NOTIFYICONDATAW g_trayIcon;
AppTop g_top;

static_assert(sizeof(g_trayIcon.szTip) / sizeof(wchar_t) == kTrayTipChars, "tip field size");
static_assert(sizeof(g_trayIcon.szInfoTitle) / sizeof(wchar_t) == kBalloonTitleChars,
              "balloon title field size");
static_assert(sizeof(g_trayIcon.szInfo) / sizeof(wchar_t) == kBalloonTextChars,
              "balloon text field size");

namespace {
const UINT kTrayRetryPeriodMs = 1000;
const DWORD kBalloonFlags = NIIF_USER | NIIF_LARGE_ICON;

// The full current record, with hBalloonIcon; no version is requested, so the
// callback's lParam stays the plain mouse message.
void FillFixedTrayMembers() {
    g_trayIcon.cbSize = sizeof(NOTIFYICONDATAW);
    g_trayIcon.hWnd = g_app.messageWindow;
    g_trayIcon.uID = kTrayIconId;
    g_trayIcon.uCallbackMessage = kWmTrayIcon;
    g_trayIcon.hIcon = g_top.smallIcon;
}
}  // namespace

// Broadcasts, the end of the session and the close requests of taskkill and
// Restart Manager reach top-level windows only, never the message-only window
// that owns the icon, so this window hands them on.
LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Showing the tray menu leaves this window in front, so the player's next
    // Alt+F4 (meant for Windows' shut-down box) lands here: it is ignored, and
    // never becomes the WM_CLOSE that ends the program.
    if (message == WM_SYSCOMMAND && IsCloseCommand(wParam)) return 0;
    bool taskbarCreated = message == g_top.taskbarCreatedMessage && message != 0;
    if (taskbarCreated || message == WM_DISPLAYCHANGE || message == WM_QUERYENDSESSION ||
        message == WM_ENDSESSION || message == WM_CLOSE) {
        return SendMessageW(g_app.messageWindow, message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool AddTrayIcon() {
    // From a cleared record: a notice from before must not come back with the new icon.
    ZeroMemory(&g_trayIcon, sizeof(g_trayIcon));
    FillFixedTrayMembers();
    FormatTrayTip();
    g_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    if (Shell_NotifyIconW(NIM_ADD, &g_trayIcon)) return true;
    // Windows also announces a new taskbar after a DPI change, when it still
    // has the icon: then the add fails and the icon only needs its tip.
    return Shell_NotifyIconW(NIM_MODIFY, &g_trayIcon) != FALSE;
}

void KeepTrayIcon() {
    // At sign-in the program may start before the taskbar exists.
    if (AddTrayIcon()) {
        KillTimer(g_app.messageWindow, kTrayRetryTimerId);
    } else {
        SetTimer(g_app.messageWindow, kTrayRetryTimerId, kTrayRetryPeriodMs, NULL);
    }
}

void DeleteTrayIcon() { Shell_NotifyIconW(NIM_DELETE, &g_trayIcon); }

void FormatTrayTip() {
    wchar_t hotkey[kHotkeyTextChars];
    // Why some keys do nothing outweighs the usual tip.
    if (FormatTakenHotkeyText(hotkey, kHotkeyTextChars)) {
        FormatHotkeyTakenTip(hotkey, g_trayIcon.szTip, kTrayTipChars);
        return;
    }
    FormatHotkeyText(hotkey, kHotkeyTextChars);
    FormatTrayTipText(hotkey, g_trayIcon.szTip, kTrayTipChars);
}

void RefreshTrayTip() {
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
    // click elsewhere; a message-only window can never be, so a hidden
    // top-level window owns it.
    SetForegroundWindow(g_top.trayWindow);
    // Opens to the side the player's handedness setting asks for.
    UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    UINT flags = align | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
    UINT command = (UINT)TrackPopupMenu(menu, flags, cursor.x, cursor.y, 0, g_top.trayWindow, NULL);
    // Lets the shell finish the menu's mode before the next click on the icon.
    PostMessageW(g_top.trayWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
    // The commands belong to the message window, as those posted to it do.
    if (command != 0) SendMessageW(g_app.messageWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void ShowBalloon(const wchar_t* title, const wchar_t* text, bool unprompted) {
    g_trayIcon.uFlags = NIF_INFO;
    CutBalloonTitle(title, g_trayIcon.szInfoTitle);
    CutBalloonText(text, g_trayIcon.szInfo);
    // A notice the program raises on its own keeps out of the quiet time after
    // a first sign-in; one that answers the player's own gesture is shown.
    g_trayIcon.dwInfoFlags = kBalloonFlags | (unprompted ? NIIF_RESPECT_QUIET_TIME : 0);
    g_trayIcon.hBalloonIcon = g_app.largeIcon;
    Shell_NotifyIconW(NIM_MODIFY, &g_trayIcon);
}
